// Dialogs answered by the test: each file dialog takes the next answer
// (a path, or nothing for Cancel); boxes are recorded, never shown.
#pragma once

#include "shell/Dialogs.h"

#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

namespace kuv::test {

struct FakeDialogs : Dialogs {
    std::deque<std::optional<QString>> answers;
    std::vector<FileDialog> shown;  // the dialogs as they were shown
    QStringList errors;
    QStringList messages;
    QStringList documents;

    std::optional<QString> RunFileDialog(const FileDialog& d) override {
        shown.push_back(d);
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
    void ShowErrorBox(const QString& m) override { errors << m; }
    void ShowMessage(const QString& t) override { messages << t; }
    void OpenDocument(const QString& p) override { documents << p; }
};

}  // namespace kuv::test
