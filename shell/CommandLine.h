// The desktop program's command line: nothing, one listing file to open as
// the Open command would, or a link of KUV's page whose listing opens as a
// new, unsaved one; --help and --version print and end.
#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

namespace kuv {

struct ProgramArgs {
    enum class Action { Start, Help, Version, Usage };
    Action action = Action::Start;
    QString file;     // to open at start-up; empty for none
    QString problem;  // for Usage: what was wrong
    QString link;     // a listing's link to open at start-up instead of a file
};

// args without the program's name.
ProgramArgs ParseProgramArgs(const QStringList& args);

QString ProgramHelpText();     // for --help, ends with a line break
QString ProgramVersionText();  // for --version
QString ProgramUsageText();    // the usage line, ends with a line break

// The first local .kuv file among dropped or pasted files, or an empty
// string: such a drop opens the file instead of inserting anything.
QString DroppedListing(const QMimeData* data);

}  // namespace kuv
