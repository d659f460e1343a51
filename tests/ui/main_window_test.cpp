// The main window against the Tokyo sample database: its load step, the first activation that
// applies the command line, runs with the stop button and closing during them, the file choosers,
// drops and the buttons to the other windows.
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>

#include "batch/session.h"
#include "db/import/main_database_import.h"
#include "db/import/town_import.h"
#include "engine/rules/fixed_tables.h"
#include "startup/command_line.h"
#include "ui/main_window.h"
#include "ui_test_support.h"

namespace mok::test {
namespace {

using batch::RunEnd;

// The buttons a user can press after a run, in the window's order.
const Strings kIdle = {"cmdInputFile",     "cmdOutputFile",     "cmdExec",
                       "cmdRegDictionary", "cmdOption",         "cmdDbPath",
                       "cmdSrcPreview",    "cmdUserDictionary", "cmdExit"};

class MainWindowTest : public WindowTest<ui::MainWindow> {
 protected:
  ~MainWindowTest() override { window.reset(); }  // the window closes before its session goes

  void SetUp() override {
    engine::LoadFixedNames();
    WriteProfileString(ini, u"MOK", u"DBDIR", text::FromUtf8(MOK_SAMPLE_DB));  // the Tokyo sample
    WriteProfileString(ini, u"MOK", u"INPUTDIR", u"/remembered/in");
    WriteProfileString(ini, u"CURRENT", u"AdrField1", u"3");
  }

  // Makes the session of the settings file and creates the window on it (its load step runs) as
  // the program does with its argument text.
  void Create(const std::u16string& arguments = u"") {
    window.reset();
    session = std::make_unique<batch::Session>(ini, prompter);
    options = CommandLineOptions{};
    window = std::make_unique<ui::MainWindow>(*session, prompter, options, arguments);
    options.firstActivate = true;
    ParseCommandLine(arguments, options, prompter);
  }

  // Shows the window and lets the event loop run until the first activation has been handled
  // and any run it started has ended.
  void ShowAndSettle() {
    window->show();
    QElapsedTimer clock;
    clock.start();
    while ((options.firstActivate || window->Run().IsRunning()) && clock.elapsed() < 60000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_FALSE(options.firstActivate) << "the window was never activated";
  }

  // The window on three addresses that all convert, ready to run into `output`.
  void OpenOnSmallInput() {
    WriteCp932(input,
               u"ID,名前,住所\r\n1,a,東京都千代田区丸の内1-1-1\r\n2,b,東京都港区芝公園4-2-8\r\n"
               u"3,c,東京都新宿区西新宿2-8-1\r\n");
    WriteProfileString(ini, u"CURRENT", u"InputFilePath", input);
    WriteProfileString(ini, u"CURRENT", u"OutputFilePath", output);
    WriteProfileString(ini, u"CURRENT", u"SelectPref", u"東京都");
    Create();
    ShowAndSettle();
    prompter.Clear();
  }

  // The buttons that are visible and enabled, in the window's order.
  Strings Usable() {
    Strings usable;
    for (const QPushButton* button : window->findChildren<QPushButton*>()) {
      if (button->isVisible() && button->isEnabled())
        usable.push_back(button->objectName().toStdString());
    }
    return usable;
  }

  std::u16string ini = folder.File("mok.ini");
  std::u16string input = folder.File("small.csv");
  std::u16string output = folder.File("出力.csv");
  CommandLineOptions options;
  std::unique_ptr<batch::Session> session;
};

TEST_F(MainWindowTest, LoadFillsTheRegionsAndTheRememberedEntriesWhenItCan) {
  WriteProfileString(ini, u"CURRENT", u"InputFilePath", u"/x/入力.csv");
  WriteProfileString(ini, u"CURRENT", u"SelectPref", u"東京都");
  Create();
  window->show();
  EXPECT_EQ(Get<QComboBox>("cmbSelectPref")->count(), 1);
  EXPECT_EQ(Text("cmbSelectPref"), "東京都");
  EXPECT_EQ(Text("txtInputFile"), "/x/入力.csv");
  EXPECT_EQ(Text("txtStartRow"), "2") << "default of a missing StartRow";
  EXPECT_EQ(Text("txtAdrField_0"), "3");
  Strings beforeRun = kIdle;
  std::erase(beforeRun, "cmdRegDictionary");  // the list button shows only after a run
  EXPECT_EQ(Usable(), beforeRun);
  EXPECT_EQ(Messages(), Strings{});

  // Nothing remembered: 全国 when the folder has the nationwide databases (issue 23).
  const std::filesystem::path nationwide = std::filesystem::path(folder.File("japan"));
  db::CreateMainDatabase(nationwide, std::filesystem::path(MOK_DATA_DIR) / "prefectures.csv");
  db::ImportTowns(nationwide, u"東京都",
                  std::filesystem::path(MOK_SOURCE_DIR) / "tests/golden/towns.csv");
  db::ImportTowns(nationwide, u"全国",
                  std::filesystem::path(MOK_SOURCE_DIR) / "tests/golden/towns.csv");
  WriteProfileString(ini, u"MOK", u"DBDIR", nationwide.u16string());
  WriteProfileString(ini, u"CURRENT", u"SelectPref", u"");
  Create();
  EXPECT_EQ(Text("cmbSelectPref"), "全国");

  // Without the database the window still opens, on the argument text alone.
  WriteProfileString(ini, u"MOK", u"DBDIR", folder.File("nothing-here"));
  Create(u"-i a.csv");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0],
            "メインデータベース " + text::ToUtf8(folder.File("nothing-here")) +
                "/mok2.sqlite を開けません。データベースフォルダ（環境設定）を確かめて"
                "下さい。");
  EXPECT_EQ(Get<QComboBox>("cmbSelectPref")->count(), 0);
  EXPECT_EQ(Text("txtInputFile"), "-i a.csv");
}

// The first activation applies the options once and presses the run button; the run's first
// check then shows which boxes were filled.
TEST_F(MainWindowTest, FirstActivationAppliesTheCommandLineOnce) {
  // The boxes after the activation (input|output|start row|region|focused control), then the
  // messages of the run's first check.
  const std::string noInput = "入力ファイルが選択されていません。";
  const std::pair<std::u16string, Strings> cases[] = {
      {u"-d 大阪府 -o /x/out.csv", {"||2|大阪府|txtInputFile", noInput}},
      // The output follows a new input (issue 21).
      {u"-i /x/in.csv",
       {"/x/in.csv|/x/in_結果.csv|2||cmbSelectPref",
        "「」は地域名に使えません。地域名を一覧から選んで下さい。"}},
      {u"-i /x/in.csv -o /x/out.csv -l abc",
       {"/x/in.csv|/x/out.csv|abc||txtStartRow", "変換開始行に数値を入力して下さい。"}},
      {u"-d 東京都 -d", {"||2||txtInputFile", noInput}},
      {u"", {"||2||cmbSelectPref"}},
      {u"-x 1", {"||2||cmbSelectPref", "起動時オプションの指定が間違っています。\r\n-x 1"}},
  };
  for (const auto& [arguments, expected] : cases) {
    SCOPED_TRACE(text::ToUtf8(arguments));
    prompter.Clear();
    Create(arguments);
    ShowAndSettle();
    Strings shown = Messages();
    shown.insert(shown.begin(), Text("txtInputFile") + "|" + Text("txtOutputFile") + "|" +
                                    Text("txtStartRow") + "|" + Text("cmbSelectPref") + "|" +
                                    window->focusWidget()->objectName().toStdString());
    EXPECT_EQ(shown, expected);

    // Later activations never apply the options again.
    prompter.Clear();
    Type("txtInputFile", QStringLiteral("typed"));
    window->hide();
    window->show();
    QApplication::setActiveWindow(window.get());
    QCoreApplication::processEvents();
    EXPECT_EQ(Text("txtInputFile"), "typed");
    EXPECT_EQ(Messages(), Strings{});
  }
}

// The stop button, and closing the window, take effect at the next record through the stop
// question: Yes ends the run with the stop message instead of the end message (and closes the
// window once the run has ended), No goes on to the end.
TEST_F(MainWindowTest, StopButtonAndClosingAskBeforeTheRunStops) {
  for (const bool close : {false, true}) {
    OpenOnSmallInput();
    for (const Answer answer : {Answer::No, Answer::Yes}) {  // two runs in one window
      SCOPED_TRACE(std::string(close ? "close" : "stop") + (answer == Answer::Yes ? "/Y" : "/N"));
      prompter.Clear();
      prompter.answers = {answer};
      Strings duringRun;
      QTimer::singleShot(0, window.get(), [&] {
        duringRun = Usable();
        close ? void(window->close()) : Press("cmdCancel");
      });
      Press("cmdExec");
      EXPECT_EQ(duringRun, (Strings{"cmdCancel", "cmdExit"}));
      const bool stopped = answer == Answer::Yes, closed = close && stopped;
      // A stopped run says so, and what the output holds (issue 23), not that it finished.
      EXPECT_EQ(
          Messages(),
          (Strings{"変換を中止しますか？",
                   stopped ? "変換を中止しました。\r\n出力ファイルには、全3件のうち中止までの0"
                             "件を書き込みました。\r\n残りのレコードも変換するには、もう一"
                             "度実行して下さい（最初から変換します）。"
                           : "変換が終了しました。\r\n全件数は3件です。"}));
      EXPECT_EQ(window->LastOutcome(), stopped ? RunEnd::Stopped : RunEnd::Finished);
      EXPECT_EQ(window->isVisible(), !closed);
      EXPECT_EQ(session->database.IsOpen(), !closed) << "closing closes the databases";
      EXPECT_EQ(Usable(), closed ? Strings{} : kIdle);
      EXPECT_EQ(Text("lblCount"), "3/3") << "the count of the run that went to its end";
    }
  }
}

// The choosers start in the folder of the box's path, or in the remembered folder when the box
// holds none; an existing output is taken only after the question, a dropped one at once.
TEST_F(MainWindowTest, FilesComeFromTheChoosersOrFromDrops) {
  WriteCp932(output, u"x\r\n");
  WriteProfileString(ini, u"CURRENT", u"InputFilePath", u"in.csv");
  WriteProfileString(ini, u"CURRENT", u"OutputFilePath", u"/previous/out.csv");
  Create();
  ui::FileDialogRequest seen;
  QString chosen;  // "": the chooser is cancelled
  window->SetFileDialog([&](const ui::FileDialogRequest& request) {
    seen = request;
    return chosen;
  });
  Press("cmdInputFile");
  EXPECT_EQ(seen.startFolder, QStringLiteral("/remembered/in"));
  EXPECT_EQ(Text("txtInputFile"), "in.csv");
  EXPECT_TRUE(Messages().empty()) << "no question for an input";

  chosen = QString::fromStdU16String(output);
  prompter.answers = {Answer::Cancel, Answer::Ok};
  Press("cmdOutputFile");
  EXPECT_EQ(seen.startFolder + "|" + seen.proposedName, QStringLiteral("/previous|out.csv"));
  EXPECT_EQ(Text("txtOutputFile"), "/previous/out.csv");
  session->settings.notOverwrite = true;
  Press("cmdOutputFile");
  EXPECT_EQ(Text("txtOutputFile"), chosen.toStdString());
  const std::string exists = chosen.toStdString() + "は既に存在しています。\r\n";
  EXPECT_EQ(Messages(),
            (Strings{exists + "上書きしますか", exists + "上書禁止モードで実行します。"}));

  // Without a drag in progress the application does not deliver drop events, so they are
  // handed over as the toolkit would: to the window, or through its filter for a path box.
  QObject* const windowObject = window.get();
  for (const char* target : {"", "txtOutputFile", "txtInputFile"}) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/d/%1.csv").arg(target)),
                  QUrl::fromLocalFile(QStringLiteral("/d/second.csv"))});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    EXPECT_TRUE(*target ? windowObject->eventFilter(Get(target), &drop)
                        : windowObject->event(&drop));
  }
  // A new input brings its own output name; the output chosen for an input comes back with it
  // (issue 21).
  EXPECT_EQ(Text("txtInputFile"), "/d/txtInputFile.csv");
  EXPECT_EQ(window->InputPath(), u"/d/txtInputFile.csv");
  EXPECT_EQ(Text("txtOutputFile"), "/d/txtInputFile_結果.csv");
  QMimeData again;
  again.setUrls({QUrl::fromLocalFile(QStringLiteral("/d/.csv"))});
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &again, Qt::LeftButton, Qt::NoModifier);
  windowObject->event(&drop);
  EXPECT_EQ(Text("txtOutputFile"), "/d/txtOutputFile.csv");
  EXPECT_EQ(Messages().size(), 2u) << "no overwrite question for a drop";
}

// Choosing another input and pressing 実行 never replaces the first input's result without a
// question: the output follows the new input, and an output typed back to the first result is
// replaced only after Yes (issue 21).
TEST_F(MainWindowTest, AnotherInputNeverReplacesAResultWithoutAQuestion) {
  OpenOnSmallInput();
  Press("cmdExec");
  const std::string firstResult = ReadBytes(output);
  const std::u16string other = folder.File("other.csv");
  WriteCp932(other, u"ID,名前,住所\r\n9,z,東京都渋谷区鉢山町1\r\n");
  window->SetFileDialog(
      [&](const ui::FileDialogRequest&) { return QString::fromStdU16String(other); });
  Press("cmdInputFile");
  EXPECT_EQ(Text("txtOutputFile"), text::ToUtf8(folder.File("other_結果.csv")));
  Type("txtOutputFile", QString::fromStdU16String(output));
  prompter.Clear();
  prompter.answers = {Answer::No};
  Press("cmdExec");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_TRUE(Messages()[0].ends_with("の変換結果ではありません。置き換えますか？"))
      << Messages()[0];
  EXPECT_EQ(ReadBytes(output), firstResult);
  EXPECT_EQ(window->LastOutcome(), RunEnd::NotStarted);
}

TEST_F(MainWindowTest, PreviewNeedsAnInputAndReadsTheLastTakenPath) {
  Create();
  Type("txtInputFile", "");
  EXPECT_EQ(OpenedBy([&] { Press("cmdSrcPreview"); }), "");
  EXPECT_EQ(Messages(), Strings{"入力ファイルがセットされていません。"});

  // A typed path is not yet the input: the preview reads the file taken before, and its field
  // registration fills the window's address field.
  prompter.Clear();
  OpenOnSmallInput();
  Type("txtInputFile", QStringLiteral("/typed/elsewhere.csv"));
  int columns = -1;
  EXPECT_EQ(OpenedBy([&] { Press("cmdSrcPreview"); },
                     [&](QWidget* preview) {
                       auto* grid = Child<QTableWidget>(preview, "flxgrdPreview");
                       columns = grid->columnCount();
                       grid->setCurrentCell(1, 1);
                       Click(preview, "cmdRegField");
                     }),
            "frmPreview");
  EXPECT_EQ(columns, 3);
  EXPECT_EQ(Text("txtAdrField_0"), "2");
  EXPECT_EQ(Messages(), Strings{});
}

// The address field is in plain sight with what it holds in the input, beside the input's
// encoding; a run on a field without addresses says which field is the likely cause.
TEST_F(MainWindowTest, AddressFieldAndEncodingAreShownAndAWrongFieldIsNamed) {
  OpenOnSmallInput();
  EXPECT_TRUE(Get("txtAdrField_0")->isVisible());
  EXPECT_EQ(Text("lblAdrFieldSample"), "「住所」 例：東京都千代田区丸の内1-1-1");
  EXPECT_EQ(Text("lblInputEncoding"), "入力：Shift_JIS（CP932）");
  EXPECT_EQ(EnglishTexts(window.get()), Strings{});
  // The second box (住所２) is in sight too, with what its field holds (issue 21).
  EXPECT_TRUE(Get("txtAdrField_1")->isVisible());
  EXPECT_EQ(Text("lblAdrFieldSample2"), "（住所が次のフィールドに続くときに指定）");
  Type("txtAdrField_0", QStringLiteral("1"));
  Type("txtAdrField_1", QStringLiteral("2"));
  QTest::qWait(300);  // the summary follows once the typing has paused
  EXPECT_EQ(Text("lblAdrFieldSample"), "「ID」 例：1");
  EXPECT_EQ(Text("lblAdrFieldSample2"), "「名前」 例：a");
  Type("txtAdrField_1", QString());
  Press("cmdExec");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(
      Messages()[0].substr(0, Messages()[0].find("\r\n住所フィールドは")),
      "3件中3件変換できませんでした。\r\n住所フィールドに指定した1番目のフィールド（見出し「ID」）"
      "には住所らしい文字列がありません。住所は3番目のフィールド（見出し「住所」）にあるようです"
      "。");

  // The output encoding chosen here is the setting of later runs.
  Get<QComboBox>("cmbOutputEncoding")->setCurrentIndex(3);
  emit Get<QComboBox>("cmbOutputEncoding")->activated(3);
  EXPECT_EQ(ReadProfileString(ini, u"MOK", u"OUTPUTENCODING", u""), u"utf8-bom");
}

// A chosen, dropped or command-line input gets the address fields its records propose, shown
// with their sample; another file with the same headings keeps the fields chosen (issue 23).
TEST_F(MainWindowTest, ANewInputGetsTheAddressFieldsItsRecordsPropose) {
  WriteProfileString(ini, u"CURRENT", u"SelectPref", u"東京都");
  Create();
  QString chosen;
  window->SetFileDialog([&](const ui::FileDialogRequest&) { return chosen; });
  const std::pair<const char*, std::string> files[] = {
      {"customers-utf8-bom.csv", "4|5"},
      {"customers-surnames.csv", "3|"},  // after a field of surnames with 村, 町, 市
      {"customers-excel-cp932.csv", "5|"},
  };
  for (const auto& [file, fields] : files) {
    chosen = QStringLiteral(MOK_DATA_DIR "/") + QString::fromUtf8(file);
    Press("cmdInputFile");
    EXPECT_EQ(Text("txtAdrField_0") + "|" + Text("txtAdrField_1"), fields) << file;
  }
  QTest::qWait(300);
  EXPECT_TRUE(Text("lblAdrFieldSample").starts_with("（自動選択）「住所」 例：東京都清瀬市中里"));

  // The same headings: her choice stays.
  const std::u16string copy = folder.File("copy.csv");
  std::filesystem::copy_file(MOK_DATA_DIR "/customers-excel-cp932.csv",
                             std::filesystem::path(copy));
  Type("txtAdrField_0", QStringLiteral("2"));
  chosen = QString::fromStdU16String(copy);
  Press("cmdInputFile");
  EXPECT_EQ(Text("txtAdrField_0"), "2");

  // From the command line, the run starts on the proposed field.
  prompter.Clear();
  prompter.answers = {Answer::No};  // not the list of the addresses that fail on purpose
  Create(u"-i " + text::FromUtf8(MOK_DATA_DIR "/customers-surnames.csv") + u" -o " +
         folder.File("surnames-out.csv"));
  ShowAndSettle();
  EXPECT_EQ(Text("txtAdrField_0"), "3");
  ASSERT_FALSE(Messages().empty());
  EXPECT_NE(Messages().back().find("50件中2件変換できませんでした"), std::string::npos);
}

// The monitor is repainted far less often than once per record, and still ends on the run's
// last count.
TEST_F(MainWindowTest, MonitorIsRepaintedAtMostAboutThirtyTimesASecond) {
  std::u16string lines = u"ID,名前,住所\r\n";
  for (int i = 0; i < 300; ++i)
    lines += u"1,a,東京都千代田区丸の内1-1-1\r\n";
  OpenOnSmallInput();
  WriteCp932(input, lines);
  struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
      paints += event->type() == QEvent::Paint;
      return false;
    }
    int paints = 0;
  } counter;
  Get("txtSrc")->installEventFilter(&counter);
  QElapsedTimer clock;
  clock.start();
  Press("cmdExec");
  EXPECT_LE(counter.paints, 3 + clock.elapsed() / 30) << "in " << clock.elapsed() << " ms";
  EXPECT_EQ(Text("lblCount"), "300/300");
}

// Every window's standard dialogs speak Japanese: the file chooser (the toolkit's own, with Qt's
// translation) among them, its dates (written in the system locale's short form) too, whatever
// the locale the program was started in.
TEST_F(MainWindowTest, FileChooserSpeaksJapanese) {
  EXPECT_EQ(
      QLocale::system().toString(QDateTime(QDate(2026, 12, 8), QTime(15, 4)), QLocale::ShortFormat),
      QStringLiteral("2026/12/08 15:04"));
  Create();
  Strings english = {"not shown"};
  EXPECT_EQ(OpenedBy([&] { Press("cmdInputFile"); },
                     [&](QWidget* dialog) { english = EnglishTexts(dialog); }),
            "CommonDialog1");
  EXPECT_EQ(english, Strings{});
}

TEST_F(MainWindowTest, OtherWindowsOpenFromTheirButtons) {
  Create();
  // The environment dialog stores the folder and the region list is reloaded from it.
  TempFolder empty;
  EXPECT_EQ(
      OpenedBy(
          [&] { Press("cmdDbPath"); },
          [&](QWidget* dialog) {
            Child<QLineEdit>(dialog, "txtDbDir")->setText(QString::fromStdU16String(empty.Text()));
            Click(dialog, "cmdExit");
          }),
      "frmIniFile");
  EXPECT_EQ(Get<QComboBox>("cmbSelectPref")->count(), 0);
  EXPECT_EQ(ReadProfileString(ini, u"MOK", u"DBDIR", u""), empty.Text());
  EXPECT_EQ(Messages().size(), 1u) << "the database message of the empty folder";
  EXPECT_EQ(OpenedBy([&] { Get<QPushButton>("cmdSetEnviron")->click(); }), "frmIniFile");
  // The dictionary editor opens on the chosen region.
  Get<QComboBox>("cmbSelectPref")->setCurrentText(QStringLiteral("東京都"));
  QString region;
  EXPECT_EQ(OpenedBy([&] { Press("cmdUserDictionary"); },
                     [&](QWidget* editor) { region = TextOf(Child(editor, "cmbSearchDbID")); }),
            "frmLearningDict");
  EXPECT_EQ(region, QStringLiteral("東京都"));
  EXPECT_EQ(OpenedBy([&] { Press("cmdOption"); }), "frmConvertOption");
}

}  // namespace
}  // namespace mok::test
