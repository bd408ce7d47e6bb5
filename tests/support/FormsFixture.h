// A fixture with the program's four windows, dialogs answered by the test,
// and a temporary folder as the current directory.
#pragma once

#include "shell/Forms.h"
#include "shell/GraphUnit1.h"
#include "shell/MainUnit2.h"
#include "support/FakeDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kuv::test {

class FormsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        oldDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        forms = CreateForms();
        auto fake = std::make_unique<FakeDialogs>();
        dialogs = fake.get();
        forms.FormM->SetDialogs(std::move(fake));
    }
    void TearDown() override {
        DestroyForms(forms);
        QDir::setCurrent(oldDir);
    }

    TFormM& M() { return *forms.FormM; }
    Picture& P() { return forms.FormG->GetPicture(); }
    QString Path(const QString& name) const { return QDir(dir.path()).absoluteFilePath(name); }
    static std::string Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
    }
    static void Write(const QString& path, const std::string& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    QTemporaryDir dir;
    QString oldDir;
    Forms forms{};
    FakeDialogs* dialogs = nullptr;
};

}  // namespace kuv::test
