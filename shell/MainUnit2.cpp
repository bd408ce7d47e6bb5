#include "MainUnit2.h"

#include "AboutUnit1.h"
#include "ProgramIcon.h"
#include "CommandLine.h"
#include "DescriptionWindow.h"
#include "ErrorUnit1.h"
#include "Export.h"
#include "Fonts.h"
#include "GraphUnit1.h"
#include "ListingEditor.h"
#include "ListingTeacher.h"
#include "Files.h"
#include "Paths.h"
#include "Recovery.h"
#include "RunStages.h"
#include "ShiftJis.h"
#include "language/Explanations.h"
#include "language/LineStyle.h"
#include "language/Link.h"
#include "language/ListingText.h"
#include "language/Listing.h"
#include "language/Messages.h"
#include "language/PointInfo.h"
#include "language/Runner.h"
#include "picture/Drawing.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <new>
#include <utility>

namespace kuv {

TFormM::TFormM(const Scaling& scale, QWidget* parent)
    : QMainWindow(parent), dialogs_(std::make_unique<QtDialogs>(this)) {
    setObjectName(QStringLiteral("FormM"));
    setWindowTitle(QStringLiteral("KUVリスト"));
    setWindowIcon(QIcon(ProgramPicture()));
    setFont(ProportionalFont(scale.FontPx(12)));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(scale.Px(361), scale.Px(561));
    client->setBackgroundRole(QPalette::Button);
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    Memo1 = new ListingEditor(client);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(scale.Rect(0, 0, 357, 489));
    Memo1->setFont(FixedFont(scale.FontPx(15)));
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::ToolTipBase));
    pal.setColor(QPalette::Text, pal.color(QPalette::WindowText));
    Memo1->setPalette(pal);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setTabChangesFocus(true);
    // Listings are typed in half-width letters; an input method may still be
    // switched on by hand for Japanese TEXT.
    Memo1->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
    Memo1->setPlainText(QStringLiteral("REM\nEND\n"));

    Panel1 = new QFrame(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(scale.Rect(0, 496, 361, 65));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    Label1 = new QLabel(QStringLiteral("行番号"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(scale.Rect(220, 9, 48, 16));
    Label1->setFont(ProportionalFont(scale.FontPx(16)));

    Mmln = new QLineEdit(Panel1);
    Mmln->setObjectName(QStringLiteral("Mmln"));
    Mmln->setGeometry(scale.Rect(272, 5, 65, 20));

    Label2 = new QLabel(QStringLiteral("ファイル名"), Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(scale.Rect(12, 9, 70, 16));
    Label2->setFont(ProportionalFont(scale.FontPx(16)));

    Edit1 = new QLineEdit(QStringLiteral("noname"), Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(scale.Rect(8, 29, 329, 20));
    Edit1->setReadOnly(true);

    setTabOrder(Memo1, Mmln);
    setTabOrder(Mmln, Edit1);

    // Names for screen readers; the labels are their fields' buddies.
    Memo1->setAccessibleName(QStringLiteral("リスト"));
    Mmln->setAccessibleName(Label1->text());
    Edit1->setAccessibleName(Label2->text());
    Label1->setBuddy(Mmln);
    Label2->setBuddy(Edit1);

    BuildMenu();
    // Fitted to its controls and the menu bar; the user cannot resize it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The size is fixed before the window is placed (CreateForms): a resize
    // after move() would make Qt place the client area, not the frame, at
    // the position.
    layout()->activate();

    connect(Memo1, &ListingEditor::clicked, this, [this] { Memo1Click(); });
    connect(Memo1, &ListingEditor::keyReleased, this, [this] { Memo1KeyUp(); });
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] { Memo1Change(); });
    stages_ = new RunStages(Memo1, this);
    connect(Memo1, &QPlainTextEdit::cursorPositionChanged, this, [this] { stages_->CaretMoved(); });

    // What each save writes for the name chosen.
    const auto suffixed = [](const char16_t* suffix) {
        return [suffix](const QString& chosen) {
            return QString::fromStdU16String(CompletedFileName(chosen.toStdU16String(), suffix));
        };
    };
    OpenDialog1 = {FileDialog::Kind::Open, QStringLiteral("グラフィック記述言語 (*.kuv)"), QStringLiteral("*.kuv"), {}, {}};
    SaveDialog1 = {FileDialog::Kind::Save, QStringLiteral("グラフィック描画言語 (noname.kuv)"), QStringLiteral("noname"), {},
                   suffixed(u".kuv")};
    SaveDialog2 = {FileDialog::Kind::Save, QStringLiteral("JPGファイル (*.jpg)"), QStringLiteral("noname"), {},
                   suffixed(u".jpg")};
    SaveDialog3 = {FileDialog::Kind::Save, QStringLiteral("BMPファイル (*.bmp)"), QStringLiteral("noname"), {},
                   suffixed(u".bmp")};

    FormCreate();
    Memo1->setFocus();
    // A .kuv file dropped anywhere on the window opens as Open does.
    setAcceptDrops(true);
}

TFormM::~TFormM() = default;

void TFormM::BuildMenu() {
    auto* bar = new KeyboardMenuBar(this);
    setMenuBar(bar);
    bar->setAccessibleName(QStringLiteral("メニューバー"));
    // An entry of a menu, or of the bar itself, that runs its handler.
    auto item = [this](QWidget* menu, QAction*& action, const char* name, const QString& caption, auto handler) {
        action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
    };

    File1 = bar->addMenu(QStringLiteral("ファイル"));
    File1->setObjectName(QStringLiteral("File1"));
    File1->setAccessibleName(File1->title());
    item(File1, N1, "N1", QStringLiteral("開　　く"), &TFormM::N1Click);
    item(File1, Save2, "Save2", QStringLiteral("上書き保存"), &TFormM::Save2Click);
    item(File1, Save1, "Save1", QStringLiteral("名前を付け保存"), &TFormM::Save1Click);
    item(File1, N2, "N2", QStringLiteral("終了する"), &TFormM::N2Click);

    item(bar, N4, "N4", QStringLiteral("描画実行"), &TFormM::N4Click);

    imgsave = bar->addMenu(QStringLiteral("画像保存"));
    imgsave->setObjectName(QStringLiteral("imgsave"));
    imgsave->setAccessibleName(imgsave->title());
    item(imgsave, BMP, "BMP", QStringLiteral("BMP保存"), &TFormM::BMPClick);
    item(imgsave, JPG, "JPG", QStringLiteral("JPG保存"), &TFormM::JPGClick);

    item(bar, N6, "N6", QStringLiteral("画像消去"), &TFormM::N6Click);

    Help1 = bar->addMenu(QStringLiteral("ヘルプ"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Help1->setAccessibleName(Help1->title());
    item(Help1, N3, "N3", QStringLiteral("Ｖｅｒ"), &TFormM::N3Click);
    item(Help1, Help2, "Help2", QStringLiteral("ヘルプ"), &TFormM::Help2Click);
}

bool TFormM::RunCommand(const std::function<void()>& command) {
    // Memory can run out anywhere in a command (a huge listing, its copies,
    // the picture files); the command stops there and the program goes on
    // with the listing as the editor holds it.
    try {
        command();
        return true;
    } catch (const std::bad_alloc&) {
        ShowOutOfMemory();
        return false;
    }
}

void TFormM::ShowOutOfMemory() { dialogs_->ShowErrorBox(OutOfMemoryMessage()); }

void TFormM::keyPressEvent(QKeyEvent* event) {
    // F10, which the listing and the boxes leave to their window, opens the
    // menu bar as Alt pressed and released alone does.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier) return OpenMenuBar();
    QMainWindow::keyPressEvent(event);
}

void TFormM::OpenMenuBar() { static_cast<KeyboardMenuBar*>(menuBar())->SelectFirstEntry(); }


void TFormM::SetWindows(TFormG* formG, TFormA* formA, TFormE* formE) {
    formG_ = formG;
    formG_->Image1->SetAids(this);
    stages_->SetGraphicsWindow(formG);
    // The run that draws the Picture records which line painted each pixel.
    formG_->GetPicture().RecordOwners();
    formA_ = formA;
    formE_ = formE;
}

void TFormM::SetDialogs(std::unique_ptr<Dialogs> dialogs) { dialogs_ = std::move(dialogs); }

void TFormM::FormCreate() {
    CurrentFileName = QStringLiteral("noname.kuv");
    Modified = false;
}

void TFormM::N4Click() {
    if (!formG_->isVisible()) formG_->show();

    stages_->EndStages();
    const std::string before = ListingFromEditorText(Memo1->ListingText());
    Listing listing(before);
    const RunResult result = RunProgram(listing, formG_->GetPicture(), &stages_->History());

    Memo1->ClearErrorLine();
    if (listing.Touched()) {
        // Every rewrite of a line is an edit of the listing, even one that
        // leaves its bytes as they were; the editor is written only when the
        // text really changed, in one edit.
        const std::string after = listing.Text();
        if (after != before) Memo1->ReplaceAllText(EditorTextFromListing(after));
        MarkChanged();
    }
    if (result.errorLogReset) {
        formE_->ClearLog();
        formE_->hide();
    }
    if (result.error) {
        const Problem problem = ProblemOfRunError(listing, *result.error);
        formE_->show();
        formE_->AddLine(FromCp932(result.errorLine));
        formE_->SetExplanation(QString::fromStdU16String(problem.explanation));
        Memo1->MarkErrorLine(result.error->line, QString::fromStdU16String(ProblemTip(problem)));
    }
    Memo1->Teacher()->SetRunFindings({result.paintsOnBorder, result.paintsOnBorder.empty() ? Listing() : listing});
    if (result.pictureCleared) {
        DescribeRunToAssistiveTools(listing, result);
        stages_->RunDrew(std::move(listing));
    }
    formG_->PictureChanged();
    RefreshDescription();
}

void TFormM::DescribeRunToAssistiveTools(const Listing& rewritten, const RunResult& result) {
    lastRunLines_ = result.statementsRun;
    RunStatements now = StatementsRun(rewritten, result.statementsRun);
    QString told = QString::fromStdU16String(SummaryOfRun(result));
    if (lastRunStatements_) told += ' ' + QString::fromStdU16String(DescribeChange(*lastRunStatements_, now));
    lastRunStatements_ = std::move(now);
    formG_->Image1->SetSummary(told);
}

void TFormM::ShowDescription() {
    if (!description_) {
        description_ = new DescriptionWindow([this](int line) { ChooseDescribedLine(line); }, this);
        description_->move(formG_->frameGeometry().topLeft() + QPoint(40, 40));
    }
    description_->show();
    RefreshDescription();
    description_->raise();
    description_->activateWindow();
}

void TFormM::RefreshDescription() {
    if (!description_ || !description_->isVisible()) return;
    const Listing* paintedBy = stages_->PaintedBy();
    description_->Show(paintedBy ? DescribeRun(*paintedBy, lastRunLines_, formG_->GetPicture())
                                 : kuv::Description{SummaryOfRun(RunResult{}), {}});
}

void TFormM::ChooseDescribedLine(int line) {
    Memo1->MoveCaretToLine(line);
    Mmln->setText(QString::number(line));
    // Marked as following the caret marks them: the Picture as it stood
    // after the line, its pixels blinking.
    if (stages_->CanShowStages()) stages_->SetFollowCaret(true);
}

void TFormM::N6Click() {
    stages_->Forget();
    lastRunStatements_.reset();
    formG_->Image1->SetSummary(QString::fromStdU16String(SummaryOfRun(RunResult{})));
    RefreshDescription();
    ClearPicture(formG_->GetPicture());
    formG_->PictureChanged();
}

void TFormM::N2Click() { close(); }

void TFormM::N3Click() { formA_->show(); }

QString ShippedHelpPath() {
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../share/kuv/kuvhelp.htm"));
}

void TFormM::Help2Click() {
    const QString local = QDir::current().absoluteFilePath(QStringLiteral("kuvhelp.htm"));
    const QString page = QFileInfo::exists(local) ? local : QDir::cleanPath(ShippedHelpPath());
    if (!dialogs_->OpenDocument(page)) dialogs_->ShowErrorBox(CannotOpenMessage(page));
}

QString TFormM::DescribePoint(int x, int y) {
    return QString::fromStdU16String(kuv::DescribePoint(formG_->GetPicture(), x, y, stages_->PaintedBy()));
}

void TFormM::InsertPoint(int x, int y) {
    QTextCursor c = Memo1->textCursor();
    c.beginEditBlock();
    c.removeSelectedText();
    // At the start of a long line's later segment, the character before is
    // the previous segment's last one, behind the paragraph break.
    const bool segmentStart = c.atBlockStart() && ListingEditor::ContinuesLine(c.block());
    const bool lineStart = c.atBlockStart() && !segmentStart;
    const QChar before = lineStart ? QChar() : Memo1->document()->characterAt(c.position() - (segmentStart ? 2 : 1));
    QChar after = Memo1->document()->characterAt(c.position());
    if (after == QChar::ParagraphSeparator) after = QChar();
    c.insertText(QString::fromStdU16String(PointInsertion(x, y, before.unicode(), after.unicode())));
    c.endEditBlock();
    Memo1->setTextCursor(c);
    BringListingToFront();
}

bool TFormM::CanShowOwner(int x, int y) {
    return stages_->ListingUnchanged() && stages_->OwnerOf(x, y) != 0;
}

void TFormM::ShowOwner(int x, int y) {
    if (!CanShowOwner(x, y)) return;
    const int line = static_cast<int>(stages_->OwnerOf(x, y));
    Memo1->SelectLine(line);
    Mmln->setText(QString::number(line));
    BringListingToFront();
}

void TFormM::ReturnToListing() { BringListingToFront(); }

void TFormM::BringListingToFront() {
    raise();
    activateWindow();
    Memo1->setFocus();
}

void TFormM::Memo1Click() { ShowLineNumber(); }
void TFormM::Memo1KeyUp() { ShowLineNumber(); }
void TFormM::ShowLineNumber() { Mmln->setText(QString::number(Memo1->CaretLineNumber())); }

void TFormM::Memo1Change() {
    MarkChanged();
    if (stages_->Showing()) stages_->EndStages();
}

bool TFormM::CanShowStages() { return stages_->CanShowStages(); }
bool TFormM::FollowsCaret() { return stages_->FollowsCaret(); }
void TFormM::SetFollowCaret(bool on) { stages_->SetFollowCaret(on); }
void TFormM::Replay() { stages_->Replay(); }

void TFormM::MarkChanged() {
    Modified = true;
    unsaved_ = true;
}

QString BaseName(const QString& path) { return QString::fromStdU16String(kuv::BaseName(path.toStdU16String())); }

std::optional<QString> TFormM::RunDialog(FileDialog& dialog) {
    std::optional<QString> chosen = dialogs_->RunFileDialog(dialog);
    if (!chosen) return std::nullopt;
    dialog.fileName = *chosen;
    // Relative names used later (an overwrite save of "noname.kuv", the help
    // page) resolve in the folder of the last confirmed file.
    MoveToFolderOf(*chosen);
    return chosen;
}

void TFormM::KeepSnapshot(const std::string* bytes) {
    std::string kept;
    if (Modified && unsaved_) kept = bytes ? *bytes : ListingFromEditorText(Memo1->ListingText());
    const std::lock_guard<std::mutex> lock(snapshotMutex_);
    snapshot_.swap(kept);
}

bool TFormM::SaveListing(const QString& path) {
    const std::string bytes = ListingFromEditorText(Memo1->ListingText());
    KeepSnapshot(&bytes);
    const QString failure = WriteWholeFile(path, bytes);
    if (failure.isEmpty()) return true;
    dialogs_->ShowErrorBox(failure);
    return false;
}

void TFormM::N1Click() {
    // Recovered listings are one click away in the dialog's side bar.
    const QString recovered = RecoveryFolder();
    OpenDialog1.place = HasRecoveredListings(recovered) ? recovered : QString();
    if (const std::optional<QString> path = RunDialog(OpenDialog1)) OpenListing(*path);
}

void TFormM::OpenFile(const QString& path) {
    // As if the Open dialog had been confirmed with the file.
    const QString absolute = AbsolutePath(path);
    OpenDialog1.fileName = absolute;
    MoveToFolderOf(absolute);
    RunCommand([&] { OpenListing(absolute); });
}

void TFormM::OpenLink(const QString& link) {
    RunCommand([&] {
        const OpenedLink opened = ListingOfLink(link.toStdString());
        if (opened.problem != LinkProblem::None)
            return dialogs_->ShowErrorBox(QString::fromStdU16String(LinkProblemText(opened.problem)));
        Memo1->ReplaceAllText(EditorTextFromListing(NormaliseLoadedText(opened.listing)));
        Memo1->moveCursor(QTextCursor::Start);
        SaveDialog1.fileName = QStringLiteral("noname");
        SetCurrentFile(QStringLiteral("noname.kuv"), true);
    });
}

void TFormM::OpenListing(const QString& path) {
    std::string text;
    const QString failure = ReadListingFile(path, text, EditorLimit);
    if (!failure.isEmpty()) return dialogs_->ShowErrorBox(failure);

    // One undoable edit, so that a listing replaced by mistake can be got back.
    if (text != ListingFromEditorText(Memo1->ListingText())) {
        Memo1->ReplaceAllText(EditorTextFromListing(text));
        Memo1->moveCursor(QTextCursor::Start);
    }
    SaveDialog1.fileName = BaseName(path);
    SetCurrentFile(path, true);
}

void TFormM::SetCurrentFile(const QString& path, bool clearModified) {
    CurrentFileName = path;
    SaveDialog2.fileName = BaseName(path);
    SaveDialog3.fileName = BaseName(path);
    Edit1->setText(PathForDisplay(path));
    unsaved_ = false;
    if (clearModified) Modified = false;
}

void TFormM::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedListing(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TFormM::dropEvent(QDropEvent* event) {
    const QString path = DroppedListing(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    OpenFile(path);
}

void TFormM::Save2Click() {
    SaveDialog1.fileName = CurrentFileName;
    if (!SaveListing(CurrentFileName)) return;
    Modified = false;
    unsaved_ = false;
    dialogs_->ShowMessage(QStringLiteral("上書き保存をしました"));
}

bool TFormM::Save1Click() { return SaveAs() != SaveOutcome::Failed; }

TFormM::SaveOutcome TFormM::SaveAs() {
    const std::optional<QString> chosen = RunDialog(SaveDialog1);
    if (!chosen) return SaveOutcome::Cancelled;
    const QString name = SaveDialog1.writes(*chosen);
    SaveDialog1.fileName = name;
    if (!SaveListing(name)) return SaveOutcome::Failed;
    SetCurrentFile(name, false);  // Modified stays as it was
    return SaveOutcome::Saved;
}

QString TFormM::RecoverUnsavedListing() {
    if (!Modified || !unsaved_) return {};
    const std::string bytes = ListingFromEditorText(Memo1->ListingText());
    // The session's end may be followed by the signal that stops the
    // program: the same listing is kept once.
    const std::size_t fingerprint = std::hash<std::string_view>()(bytes);
    if (recovered_ == fingerprint) return {};
    QString failure;
    const QString path = RecoverListing(bytes, QDateTime::currentDateTime(), RecoveryFolder(), failure);
    if (path.isEmpty()) {
        std::fprintf(stderr, "kuv: the changed listing could not be kept: %s\n", qPrintable(ErrorBoxText(failure)));
        return {};
    }
    recovered_ = fingerprint;
    return path;
}

void TFormM::RecoverSnapshot() {
    const std::lock_guard<std::mutex> lock(snapshotMutex_);
    if (snapshot_.empty()) return;
    QString failure;
    if (RecoverListing(snapshot_, QDateTime::currentDateTime(), RecoveryFolder(), failure).isEmpty())
        std::fprintf(stderr, "kuv: the changed listing could not be kept: %s\n", qPrintable(ErrorBoxText(failure)));
}

void TFormM::JPGClick() { ExportCommand(SaveDialog2, ImageFormat::Jpeg); }

void TFormM::BMPClick() { ExportCommand(SaveDialog3, ImageFormat::Bmp); }

void TFormM::ExportCommand(FileDialog& dialog, ImageFormat format) {
    const std::optional<QString> chosen = RunDialog(dialog);
    if (!chosen) return;
    dialog.fileName = dialog.writes(*chosen);
    KeepSnapshot();
    const QString failure = ExportPicture(formG_->GetPicture(), dialog.fileName, format);
    if (!failure.isEmpty()) dialogs_->ShowErrorBox(failure);
}

void TFormM::closeEvent(QCloseEvent* event) {
    // A save that fails while closing abandons the close; a cancelled one
    // does not, and the listing is kept among the recovered ones.
    SaveOutcome outcome = SaveOutcome::Saved;
    if (Modified && !(RunCommand([&] { outcome = SaveAs(); }) && outcome != SaveOutcome::Failed)) {
        event->ignore();
        return;
    }
    if (outcome == SaveOutcome::Cancelled) RecoverUnsavedListing();
    event->accept();
    QCoreApplication::quit();
}

}  // namespace kuv
