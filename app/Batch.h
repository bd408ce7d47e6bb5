// kuv-render --batch: a class's listings at once. Every listing is loaded,
// run and written as a single kuv-render run does it, on several threads,
// and reported (Report.h).
#pragma once

#include "Report.h"

#include <QString>
#include <QStringList>

#include <iosfwd>
#include <string>
#include <vector>

namespace kuv {

// kuv-render --batch OUTDIR [--format png|bmp|jpg] [-j N] LISTING|FOLDER...
struct RenderArgs;

int BatchMain(const RenderArgs& args, std::ostream& err);

// The inputs: files as given, and for a folder every *.kuv in it, by name.
QStringList CollectInputs(const QStringList& given);

// The base name of each input's outputs, distinct among them: a second
// "house" becomes "house-2", and no name is given whose listing would land
// on one of the inputs themselves.
QStringList OutputNames(const QStringList& inputs, const QString& outDir);

}  // namespace kuv
