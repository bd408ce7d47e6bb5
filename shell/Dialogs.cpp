#include "Dialogs.h"

#include "Files.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>

namespace kuv {

std::optional<QString> QtDialogs::RunFileDialog(const FileDialog& d) {
    QFileDialog dialog(owner_);
    dialog.setAcceptMode(d.kind == FileDialog::Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // Any name may be typed: the commands check the file themselves.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    dialog.setNameFilter(d.filter);
    dialog.setDefaultSuffix(QString());
    dialog.setDirectory(QDir::current());
    const QFileInfo proposed(d.fileName);
    if (proposed.isAbsolute()) dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.isAbsolute() ? proposed.fileName() : d.fileName);
    if (!d.place.isEmpty()) dialog.setSidebarUrls(dialog.sidebarUrls() << QUrl::fromLocalFile(d.place));
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().first());
        if (d.kind == FileDialog::Kind::Open || !d.writes || !ConfirmReplace(&dialog, d.writes(chosen))) return chosen;
    }
}

bool QtDialogs::ConfirmReplace(QWidget* dialog, const QString& target) {
    // The file that is written, not the name typed ("smile" writes
    // "smile.kuv"), which the dialog's own question would miss. The
    // question is Qt's own, in Japanese where Qt's translations are.
    const QFileInfo file(target);
    if (!file.exists() || file.isDir()) return false;
    const QString question =
        QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?").arg(file.fileName());
    return QMessageBox::warning(dialog, dialog->windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) != QMessageBox::Yes;
}

void QtDialogs::ShowErrorBox(const QString& message) {
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, ErrorBoxText(message), QMessageBox::Ok, owner_);
    box.exec();
}

void QtDialogs::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok);
    box.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        box.move(screen->availableGeometry().center() - box.rect().center());
    box.exec();
}

bool QtDialogs::OpenDocument(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

}  // namespace kuv
