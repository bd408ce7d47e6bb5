// The batch's report of a class's listings: index.html, report.csv and
// report.json show every picture and every error in one place.
#pragma once

#include "language/Listing.h"
#include "picture/Compare.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace kuv {

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
    QString explanation;  // what the error means and what to do; empty for none
    QString summary;      // the Picture in words
    // Beside an answer: how it compares, whether it passed, and the file of
    // the difference picture.
    std::optional<Comparison> comparison;
    bool passed = false;
    QString difference;
};

// text as a JSON string, quotes and all.
QString JsonString(const QString& text);

// How a row's listing ended, as the report and the progress say it.
QString StatusText(const BatchRow& r);

// The part of a rewritten listing that the report shows, as HTML: every
// line of a short listing, else the start and the lines around the marked
// line (the error line, or the first line that leaves the answer).
QString ShownListing(const Listing& rewritten, int markedLine);

// The worst status among the rows: 2 when any file failed, else 1 when any
// listing had an error or, beside an answer, did not pass, else 0.
int BatchExitStatus(const std::vector<BatchRow>& rows);

std::string ReportCsv(const std::vector<BatchRow>& rows);
std::string ReportJson(const std::vector<BatchRow>& rows, const QString& date);
std::string ReportHtml(const std::vector<BatchRow>& rows, const QString& date);

}  // namespace kuv
