// Everything modal that a command asks of the user, behind one interface so
// that tests answer it without windows.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace kuv {

// The application's title: the caption of every message box.
inline const QString kApplicationTitle = QStringLiteral("ＫＵＶ");

// One file dialog of the main window: its kind, its filter and the name it
// proposes, which it remembers between uses.
struct FileDialog {
    enum class Kind { Open, Save };
    Kind kind;
    QString filter;    // in Qt's form, e.g. "グラフィック記述言語 (*.kuv)"
    QString fileName;  // the default name shown in the dialog
    QString place;     // a folder offered in the dialog's side bar, if any
    // For a save: the file that the command writes for a chosen name. The
    // dialog asks before that file is replaced.
    std::function<QString(const QString&)> writes;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows the dialog; returns the chosen full path, or nothing when the
    // user cancelled. A save dialog asks before the file that it writes is
    // replaced; "no" returns to the dialog. Does not change the dialog's
    // remembered name.
    virtual std::optional<QString> RunFileDialog(const FileDialog& dialog) = 0;
    // The error box: caption "ＫＵＶ", error icon, one OK button.
    virtual void ShowErrorBox(const QString& message) = 0;
    // A message box without icon, centred on the screen.
    virtual void ShowMessage(const QString& text) = 0;
    // Hands a document to the desktop; false when nothing could open it.
    virtual bool OpenDocument(const QString& path) = 0;
};

// The real dialogs, owned by the given window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner) : owner_(owner) {}
    std::optional<QString> RunFileDialog(const FileDialog& dialog) override;
    void ShowErrorBox(const QString& message) override;
    void ShowMessage(const QString& text) override;
    bool OpenDocument(const QString& path) override;

private:
    // True when the user declines to replace an existing file.
    static bool ConfirmReplace(QWidget* dialog, const QString& target);
    QWidget* owner_;
};

}  // namespace kuv
