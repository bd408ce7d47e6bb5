// Dialogs answered by the test: each file dialog takes the next answer
// (a path, or kCancel); boxes are recorded, never shown.
#pragma once

#include "shell/Dialogs.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace kuv::test {

inline const QString kCancel;  // a null string: the user cancelled

struct FakeDialogs : Dialogs {
    QStringList answers;
    std::vector<FileDialog> shown;  // the dialogs as they were shown
    QStringList errors;
    QStringList messages;
    QStringList documents;
    bool documentsOpen = true;  // whether the desktop has a viewer

    std::optional<QString> RunFileDialog(const FileDialog& d) override {
        shown.push_back(d);
        const QString a = answers.isEmpty() ? kCancel : answers.takeFirst();
        if (a.isNull()) return std::nullopt;
        return a;
    }
    void ShowErrorBox(const QString& m) override { errors << m; }
    void ShowMessage(const QString& t) override { messages << t; }
    bool OpenDocument(const QString& p) override {
        documents << p;
        return documentsOpen;
    }
};

}  // namespace kuv::test
