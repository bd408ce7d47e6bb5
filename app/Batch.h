// kuv-render --batch: a class's listings at once. Every listing is loaded,
// run and written as a single kuv-render run does it, on several threads;
// a report (index.html, report.csv, report.json) shows every picture and
// every error in one place.
#pragma once

#include "language/Listing.h"

#include <QString>
#include <QStringList>

#include <iosfwd>
#include <string>
#include <vector>

namespace kuv {

// kuv-render --batch OUTDIR [--format png|bmp|jpg] [-j N] LISTING|FOLDER...
int BatchMain(const std::vector<std::string>& args, std::ostream& err);

// What became of one listing.
struct BatchRow {
    QString input;      // the listing's path as given or found
    QString picture;    // the files written into the output folder; empty when not written
    QString listing;
    int exitStatus = 0; // as a single run would exit: 0 clean, 1 an error in the listing, 2 a file failed
    bool read = false;  // the listing could be read
    int errorLine = 0;  // the failing line of the rewritten listing; 0 for none
    QString message;    // the ErrorLog line's message, or why a file failed
    int statements = 0; // lines the run executed
    double ms = 0;      // time of the listing's load, run and writes
    QString shown;      // the rewritten listing as the report shows it (long ones in part)
};

// The inputs: files as given, and for a folder every *.kuv in it, by name.
QStringList CollectInputs(const QStringList& given);

// The base name of each input's outputs, distinct among them: a second
// "house" becomes "house-2", and no name is given whose listing would land
// on one of the inputs themselves.
QStringList OutputNames(const QStringList& inputs, const QString& outDir);

// The part of a rewritten listing that the report shows, as HTML: every
// line of a short listing, else the start and the lines around the error
// line.
QString ShownListing(const Listing& rewritten, int errorLine);

// The worst status among the rows: 2 when any file failed, else 1 when any
// listing had an error, else 0.
int BatchExitStatus(const std::vector<BatchRow>& rows);

std::string ReportCsv(const std::vector<BatchRow>& rows);
std::string ReportJson(const std::vector<BatchRow>& rows, const QString& date);
std::string ReportHtml(const std::vector<BatchRow>& rows, const QString& date);

}  // namespace kuv
