#include "Dialogs.h"

#include "Files.h"

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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
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

void QtDialogs::OpenDocument(const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

}  // namespace kuv
