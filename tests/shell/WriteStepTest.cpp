// Every write path of the program through a device that fails at a chosen
// step: the right message, the old file exactly as it was, and nothing left
// beside it.
#include "app/Render.h"
#include "shell/Files.h"
#include "shell/MainUnit2.h"
#include "support/FormsFixture.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace kuv {
namespace {

enum class Step { Open, Write, Flush, Commit };
const char* const kStepNames[] = {"Open", "Write", "Flush", "Commit"};
void PrintTo(Step s, std::ostream* os) { *os << kStepNames[static_cast<int>(s)]; }

// The real target for the path, except that one step fails.
class FailingTarget : public FileTarget {
public:
    FailingTarget(const QString& path, Step failing) : real_(FileSystemTarget(path)), failing_(failing) {}
    bool Open() override { return failing_ != Step::Open && real_->Open(); }
    bool Write(const char* data, std::size_t size) override {
        return failing_ != Step::Write && real_->Write(data, size);
    }
    bool Flush() override { return failing_ != Step::Flush && real_->Flush(); }
    bool Commit() override { return failing_ != Step::Commit && real_->Commit(); }
    void Cancel() override { real_->Cancel(); }

private:
    std::unique_ptr<FileTarget> real_;
    Step failing_;
};

struct WritePath;
void PrintTo(const WritePath& p, std::ostream* os);

struct WritePath {
    const char* name;
    const char* file;
    // Writes the file; returns the message shown or printed.
    std::function<QString(TFormM&, test::FakeDialogs&, const QString& path)> write;
};

void PrintTo(const WritePath& p, std::ostream* os) { *os << p.name; }

class WriteStepTest : public test::FormsFixture, public ::testing::WithParamInterface<std::tuple<WritePath, Step>> {
protected:
    void TearDown() override {
        SetFileTargetFactory({});
        FormsFixture::TearDown();
    }
};

TEST_P(WriteStepTest, AFailedStepKeepsTheOldFileAndSaysSo) {
    const auto& [path, step] = GetParam();
    const QString file = Path(path.file);
    Write(file, "OLD");
    SetFileTargetFactory([step = step](const QString& p) { return std::make_unique<FailingTarget>(p, step); });
    const QString message = path.write(M(), *dialogs, file);
    SetFileTargetFactory({});
    EXPECT_EQ(message, step == Step::Open ? "ファイル " + file + " を作成できません" : "ストリームへの書き込みエラー");
    EXPECT_EQ(Read(file), "OLD");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{path.file});
}

QString LastError(test::FakeDialogs& d) { return d.errors.isEmpty() ? QString() : d.errors.last(); }

QString RenderTo(const char* option, const QString& path) {
    std::istringstream in("LINE 0 0 9 9 1\r\n");
    std::ostringstream out, err;
    RenderMain({option, path.toStdString(), "-"}, in, out, err);
    return QString::fromStdString(err.str()).chopped(2);  // without the box's "." and the line break
}

const WritePath kPaths[] = {
    {"OverwriteSave", "p.kuv",
     [](TFormM& m, test::FakeDialogs& d, const QString& p) {
         m.CurrentFileName = p;
         m.Save2Click();
         return d.messages.isEmpty() ? LastError(d) : "reported as saved";
     }},
    {"SaveAs", "p.kuv",
     [](TFormM& m, test::FakeDialogs& d, const QString& p) {
         d.answers << p;
         m.Save1Click();
         return LastError(d);
     }},
    {"JpegExport", "p.jpg",
     [](TFormM& m, test::FakeDialogs& d, const QString& p) {
         d.answers << p;
         m.JPGClick();
         return LastError(d);
     }},
    {"BmpExport", "p.bmp",
     [](TFormM& m, test::FakeDialogs& d, const QString& p) {
         d.answers << p;
         m.BMPClick();
         return LastError(d);
     }},
    {"RenderListing", "p.kuv", [](TFormM&, test::FakeDialogs&, const QString& p) { return RenderTo("-l", p); }},
    {"RenderPng", "p.png", [](TFormM&, test::FakeDialogs&, const QString& p) { return RenderTo("-o", p); }},
};

std::string CaseName(const ::testing::TestParamInfo<std::tuple<WritePath, Step>>& info) {
    return std::string(std::get<0>(info.param).name) + "_" + kStepNames[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(EveryPathAndStep, WriteStepTest,
                         ::testing::Combine(::testing::ValuesIn(kPaths),
                                            ::testing::Values(Step::Open, Step::Write, Step::Flush, Step::Commit)),
                         CaseName);

}  // namespace
}  // namespace kuv
