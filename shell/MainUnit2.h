// The main window: the listing editor, the menu bar from which every command
// starts, the line-number box and the file-name box.
#pragma once

#include "Scaling.h"
#include "language/Description.h"

#include "Dialogs.h"
#include "Export.h"
#include "GraphUnit1.h"
#include "KeyboardMenuBar.h"
#include "language/Listing.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;

namespace kuv {

class ListingEditor;
class RunStages;
class TFormA;
class TFormE;
class DescriptionWindow;
class TFormG;

class TFormM : public QMainWindow, public PictureAids {
public:
    explicit TFormM(const Scaling& scale = Scaling{}, QWidget* parent = nullptr);
    ~TFormM() override;

    // The windows created after this one, in the order of start-up.
    void SetWindows(TFormG* formG, TFormA* formA, TFormE* formE);
    // Replaces the dialogs (tests answer them without windows).
    void SetDialogs(std::unique_ptr<Dialogs> dialogs);

    // Opens a listing file as the Open command does after its dialog: from
    // the command line, or dropped onto the window.
    void OpenFile(const QString& path);
    // Opens the listing of a link of KUV's page as a new, unsaved
    // noname.kuv; a link that cannot be opened gives its error box and
    // changes nothing.
    void OpenLink(const QString& link);

    // Commands of the menu.
    void N1Click();     // 開　　く
    void Save2Click();  // 上書き保存
    bool Save1Click();  // 名前を付け保存; false when the save failed
    void N2Click();     // 終了する
    void N4Click();     // 描画実行
    void BMPClick();    // BMP保存
    void JPGClick();    // JPG保存
    void N6Click();     // 画像消去
    void N3Click();     // Ｖｅｒ
    void Help2Click();  // ヘルプ

    // Keeps a changed listing that was not saved among the recovered ones,
    // when the program ends without saving it: the Save As offered on
    // closing was cancelled, the session ends, the process is stopped.
    // Returns the file written; failures go to standard error.
    QString RecoverUnsavedListing();
    // The same from any thread, with the listing as it was when the last
    // file write began: for when the program must end while a write holds
    // the window.
    void RecoverSnapshot();

    // Memory ran out in a command or an event: the error box, and the
    // program goes on.
    void ShowOutOfMemory();

    // The graphics window's aids for the point under the mouse.
    QString DescribePoint(int x, int y) override;
    void InsertPoint(int x, int y) override;
    bool CanShowOwner(int x, int y) override;
    void ShowOwner(int x, int y) override;
    void ReturnToListing() override;
    bool CanShowStages() override;
    bool FollowsCaret() override;
    void SetFollowCaret(bool on) override;
    void Replay() override;
    void ShowDescription() override;
    // 絵の説明, once it has been opened; null before.
    DescriptionWindow* PictureWords() const { return description_; }

    // Editor events.
    void Memo1Click();
    void Memo1KeyUp();
    void Memo1Change();

    // The listing file that Overwrite save writes, and whether the listing
    // changed since start-up, the last Open or the last Overwrite save.
    QString CurrentFileName;
    bool Modified = false;

    // The most text the editor takes from a file, in CP932 bytes.
    static constexpr std::size_t kDefaultEditorLimit = std::size_t{64} << 20;
    std::size_t EditorLimit = kDefaultEditorLimit;

    // The file dialogs and the names they propose.
    FileDialog OpenDialog1;
    FileDialog SaveDialog1;
    FileDialog SaveDialog2;
    FileDialog SaveDialog3;

    ListingEditor* Memo1;
    QFrame* Panel1;
    QLabel* Label1;
    QLineEdit* Mmln;
    QLabel* Label2;
    QLineEdit* Edit1;

    QMenu* File1;
    QAction* N1;
    QAction* Save2;
    QAction* Save1;
    QAction* N2;
    QAction* N4;
    QMenu* imgsave;
    QAction* BMP;
    QAction* JPG;
    QAction* N6;
    QMenu* Help1;
    QAction* N3;
    QAction* Help2;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class SaveOutcome { Saved, Cancelled, Failed };
    SaveOutcome SaveAs();
    // Open's steps after its dialog: load, then names and flags.
    void OpenListing(const QString& path);
    // The listing is now the file at path's: its name, the box that shows
    // it, the names the picture dialogs propose, and, when asked, Modified
    // cleared.
    void SetCurrentFile(const QString& path, bool clearModified);
    // BMP保存 and JPG保存: the dialog, then the picture file.
    void ExportCommand(FileDialog& dialog, ImageFormat format);
    void MarkChanged();
    void FormCreate();
    // Runs a command; running out of memory stops it with the error box.
    // False when it did.
    bool RunCommand(const std::function<void()>& command);
    // Runs a file dialog; a confirmed one remembers the chosen path and
    // moves the current directory to its folder.
    std::optional<QString> RunDialog(FileDialog& dialog);
    // Writes the editor's text; shows the error box and returns false on failure.
    bool SaveListing(const QString& path);
    void BuildMenu();
    // The menu bar's first entry, selected and highlighted, for the keyboard.
    void OpenMenuBar();
    void ShowLineNumber();

    TFormG* formG_ = nullptr;
    TFormA* formA_ = nullptr;
    TFormE* formE_ = nullptr;
    std::unique_ptr<Dialogs> dialogs_;
    // Changed since the last Open, Overwrite save or Save As.
    bool unsaved_ = false;
    // The main window in front, typing going into the listing.
    void BringListingToFront();
    // The last run's listing and stages, for the Picture's aids.
    RunStages* stages_;
    // After a run: the Picture in words, told to assistive tools, with what
    // changed since the run before; 絵の説明 brought up to date.
    void DescribeRunToAssistiveTools(const Listing& rewritten, const RunResult& result);
    void RefreshDescription();
    // A row of 絵の説明 chosen: the caret to its line, its pixels marked.
    void ChooseDescribedLine(int line);
    DescriptionWindow* description_ = nullptr;
    int lastRunLines_ = 0;
    std::optional<RunStatements> lastRunStatements_;
    // A hash of the bytes last kept among the recovered listings.
    std::optional<std::size_t> recovered_;
    // The changed listing as the last file write began (writes are what can
    // hold the window: a FIFO that takes nothing), for RecoverSnapshot;
    // empty when it had no unsaved changes.
    std::mutex snapshotMutex_;
    std::string snapshot_;
    // Keeps the listing's bytes (made here when not given) as the snapshot.
    void KeepSnapshot(const std::string* bytes = nullptr);
};

// The file name of a path without its folder and its last extension;
// "\\", ":" and "/" separate folders.
QString BaseName(const QString& path);

// Where the help page that ships with the program lies.
QString ShippedHelpPath();

}  // namespace kuv
