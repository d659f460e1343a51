// The main window against the Tokyo sample database: its load step, the first activation that
// applies the command line, whole runs with their end messages, the stop button and closing
// during a run, the file choosers, drops and the buttons to the other windows.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "engine/rules/fixed_tables.h"
#include "startup/command_line.h"
#include "startup/profile.h"
#include "startup/settings_file.h"
#include "support/recording_prompter.h"
#include "text/text.h"
#include "ui/main_window.h"
#include "ui_test_support.h"

namespace mok::test {
namespace {

using ui::frmConvert;

std::vector<std::u16string> Lines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(u"\r\n", start);
    if (end == std::u16string::npos)
      end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine::LoadFixedNames();
    ini = folder.File("mok.ini");
    WriteProfileString(ini, u"MOK", u"DBDIR", SampleDatabaseFolder());
    WriteProfileString(ini, u"MOK", u"INPUTDIR", u"/remembered/in");
    WriteProfileString(ini, u"CURRENT", u"AdrField1", u"3");
  }

  // Loads the settings and creates the window (its load step runs); `arguments` is the
  // program's argument text.
  frmConvert& Create(const std::u16string& arguments = u"") {
    LoadSettings(settings, ini, prompter);
    options = CommandLineOptions{};
    window = std::make_unique<frmConvert>(settings, ini, prompter, options, arguments);
    options.valid = false;
    options.firstActivate = true;
    ParseCommandLine(arguments, options, prompter);
    return *window;
  }

  // The window opened on the small input, ready to run into `outputName`, with the scripted
  // answer to the stop question.
  void OpenOnSmallInput(const std::string& outputName, Answer stopAnswer) {
    WriteProfileString(ini, u"CURRENT", u"InputFilePath", WriteSmallInput());
    WriteProfileString(ini, u"CURRENT", u"OutputFilePath", folder.File(outputName));
    WriteProfileString(ini, u"CURRENT", u"SelectPref", u"東京都");
    prompter.Clear();
    prompter.answers = {stopAnswer};
    Create();
    ShowAndSettle();
  }

  // Shows the window and lets the event loop run until the first activation has been handled
  // and any run it started has ended.
  void ShowAndSettle() {
    window->show();
    QElapsedTimer clock;
    clock.start();
    while ((options.firstActivate || window->Run().IsRunning()) && clock.elapsed() < 60000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_FALSE(options.firstActivate) << "the window was never activated";
  }

  template <class T>
  T* Get(const char* name) {
    return Child<T>(window.get(), name);
  }
  QString Text(const char* box) { return Get<QLineEdit>(box)->text(); }

  // A small input of `records` addresses that all convert, with a header line.
  std::u16string WriteSmallInput(const std::string& name = "small.csv") {
    const std::u16string path = folder.File(name);
    WriteCp932(path,
               u"ID,名前,住所\r\n1,a,東京都千代田区丸の内1-1-1\r\n2,b,東京都港区芝公園4-2-8\r\n"
               u"3,c,東京都新宿区西新宿2-8-1\r\n");
    return path;
  }

  TempFolder folder;
  std::u16string ini;
  Settings settings;
  RecordingPrompter prompter;
  CommandLineOptions options;
  std::unique_ptr<frmConvert> window;
};

TEST_F(MainWindowTest, LoadFillsRegionsAndRememberedEntries) {
  WriteProfileString(ini, u"CURRENT", u"InputFilePath", u"/x/入力.csv");
  WriteProfileString(ini, u"CURRENT", u"SelectPref", u"東京都");
  Create();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("MOK 住所認識システム"));
  auto* regions = Get<QComboBox>("cmbSelectPref");
  ASSERT_EQ(regions->count(), 1);
  EXPECT_EQ(regions->itemText(0), QStringLiteral("東京都"));
  EXPECT_EQ(regions->currentText(), QStringLiteral("東京都"));
  EXPECT_EQ(Text("txtInputFile"), QStringLiteral("/x/入力.csv"));
  EXPECT_EQ(window->StrInputPath(), u"/x/入力.csv");
  EXPECT_EQ(Text("txtOutputFile"), QString());
  EXPECT_EQ(Text("txtStartRow"), QStringLiteral("2")) << "default of a missing StartRow";
  EXPECT_EQ(Text("txtAdrField_0"), QStringLiteral("3"));
  EXPECT_TRUE(prompter.records.empty()) << prompter.Texts().front();
}

TEST_F(MainWindowTest, ControlsShownAndHiddenAsDesigned) {
  Create();
  window->show();
  for (const char* shown :
       {"Label1", "cmbSelectPref", "txtInputFile", "cmdInputFile", "txtOutputFile", "cmdOutputFile",
        "txtStartRow", "UpDownStartRow", "framMonitor", "txtSrc", "txtPrevSrc", "txtPrevDst",
        "lblCount", "cmdExec", "cmdOption", "cmdDbPath", "cmdSrcPreview", "cmdUserDictionary",
        "cmdExit"}) {
    EXPECT_TRUE(Get<QWidget>(shown)->isVisible()) << shown;
  }
  for (const char* hidden :
       {"cmdCancel", "cmdRegDictionary", "cmdSetEnviron", "framStartField", "txtAdrField_0",
        "txtAdrField_1", "txtAdrField_2", "txtAdrField_3", "UpDownPrefField", "UpDownCityField",
        "UpDownCityField2", "UpDownTownField", "lblPrefField", "lblCityField", "Label2",
        "lblTownField", "txtDdeCmd"}) {
    EXPECT_FALSE(Get<QWidget>(hidden)->isVisible()) << hidden;
  }
  const std::pair<const char*, const char16_t*> captions[] = {
      {"cmdExec", u"実行"},
      {"cmdCancel", u"中止"},
      {"cmdRegDictionary", u"不明分編集"},
      {"cmdOption", u"詳細設定"},
      {"cmdSetEnviron", u"環境設定"},
      {"cmdDbPath", u"ＤＢパス設定"},
      {"cmdSrcPreview", u"プレビュー"},
      {"cmdUserDictionary", u"学習辞書"},
      {"cmdExit", u"終了"},
  };
  for (const auto& [name, caption] : captions) {
    EXPECT_EQ(Get<QPushButton>(name)->text(), QString::fromUtf16(caption)) << name;
  }
  EXPECT_EQ(Get<QLabel>("lblSelectPref")->text(), QStringLiteral("地域名："));
  EXPECT_EQ(Get<QLabel>("lblStartRow")->text(), QStringLiteral("変換開始行："));
}

// The first activation applies the options once and presses the run button; the run's first
// check then shows which boxes were filled.
TEST_F(MainWindowTest, FirstActivationAppliesTheCommandLineOnce) {
  struct Case {
    const char* name;
    std::u16string arguments;
    QString input, output, startRow, region;
    std::vector<std::string> messages;
    const char* focus = nullptr;  // the box the validation message puts the focus on
  };
  // clang-format off
  const Case cases[] = {
      {"output alone is not applied", u"-o /x/out.csv", "", "", "2", "",
       {"入力ファイルが選択されていません。"}, "txtInputFile"},
      {"input alone", u"-i /x/in.csv", "/x/in.csv", "", "2", "",
       {"出力ファイルが選択されていません。"}, "txtOutputFile"},
      {"start row text", u"-i /x/in.csv -o /x/out.csv -l abc", "/x/in.csv", "/x/out.csv", "abc", "",
       {"変換開始行に数値を入力して下さい。"}, "txtStartRow"},
      {"region as the last word is empty", u"-d 東京都 -d", "", "", "2", "",
       {"入力ファイルが選択されていません。"}, "txtInputFile"},
      {"region not in the list", u"-d 大阪府", "", "", "2", "大阪府",
       {"入力ファイルが選択されていません。"}, "txtInputFile"},
      {"no arguments: nothing applied, no run", u"", "", "", "2", "", {}},
      {"bad command line: no run", u"-x 1", "", "", "2", "",
       {"起動時オプションの指定が間違っています。\r\n-x 1"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompter.Clear();
    Create(c.arguments);
    if (c.arguments == u"-x 1") {
      // The load step showed the argument text in the input box before the options were read.
      EXPECT_EQ(Text("txtInputFile"), QString()) << "replaced by the remembered entry";
    }
    ShowAndSettle();
    EXPECT_EQ(Text("txtInputFile"), c.input);
    EXPECT_EQ(Text("txtOutputFile"), c.output);
    EXPECT_EQ(Text("txtStartRow"), c.startRow);
    EXPECT_EQ(Get<QComboBox>("cmbSelectPref")->currentText(), c.region);
    EXPECT_EQ(prompter.Texts(), c.messages);
    if (c.focus) {
      EXPECT_EQ(window->focusWidget(), Get<QWidget>(c.focus));
    }

    // Later activations never apply the options again.
    prompter.Clear();
    Get<QLineEdit>("txtInputFile")->setText(QStringLiteral("typed"));
    window->Form_Activate();
    window->hide();
    window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(Text("txtInputFile"), QStringLiteral("typed"));
    EXPECT_TRUE(prompter.records.empty());
    window.reset();
  }
}

TEST_F(MainWindowTest, CommandLineRunConvertsTheSampleInput) {
  const std::u16string input = text::FromUtf8(MOK_DATA_DIR "/sample-input.csv");
  const std::u16string output = folder.File("出力.csv");
  prompter.answers = {Answer::No};  // do not open the unconverted list
  Create(u"-i " + input + u" -o " + output + u" -d 東京都 -l 2");
  ShowAndSettle();

  EXPECT_EQ(window->LastOutcome(), batch::RunOutcome::Finished);
  const auto inputLines = Lines(ReadCp932(input));
  const auto outputLines = Lines(ReadCp932(output));
  ASSERT_EQ(outputLines.size(), inputLines.size()) << "header + one line per record";
  const int32_t records = static_cast<int32_t>(inputLines.size()) - 1;
  const int32_t failed = window->Run().FailCount();
  EXPECT_GT(failed, 0);
  EXPECT_LT(failed, records / 10);
  ASSERT_EQ(prompter.records.size(), 1u) << testing::PrintToString(prompter.Texts());
  EXPECT_TRUE(prompter.records[0].question);
  EXPECT_EQ(prompter.records[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(prompter.records[0].Utf8(),
            "\r\n" + std::to_string(records) + "件中" + std::to_string(failed) +
                "件変換できませんでした。\r\n変換不能分を編集しますか。");
  // Record 1: 東京都武蔵村山市中央３－２７－３ with its municipality code 13223.
  EXPECT_EQ(outputLines[1].rfind(inputLines[1] + u",", 0), 0u) << text::ToUtf8(outputLines[1]);
  EXPECT_NE(outputLines[1].find(u"13223"), std::u16string::npos) << text::ToUtf8(outputLines[1]);

  EXPECT_EQ(Get<QLabel>("lblCount")->text(), QStringLiteral("%1/%2").arg(records).arg(records));
  for (const char* box : {"txtSrc", "txtPrevSrc", "txtPrevDst"})
    EXPECT_EQ(Text(box), QString());
  EXPECT_TRUE(Get<QWidget>("cmdExec")->isVisible());
  EXPECT_TRUE(Get<QWidget>("cmdRegDictionary")->isVisible());
  EXPECT_FALSE(Get<QWidget>("cmdCancel")->isVisible());
  EXPECT_TRUE(Get<QWidget>("cmdOption")->isEnabled());
  EXPECT_TRUE(window->isVisible()) << "the program stays open after the run";
  EXPECT_EQ(IniValue(ini, u"CURRENT", u"SelectPref"), u"東京都");
  EXPECT_EQ(IniValue(ini, u"CURRENT", u"OutputFilePath"), output);
}

TEST_F(MainWindowTest, AllConvertedRunEndsWithTheCountMessage) {
  const std::u16string input = WriteSmallInput();
  const std::u16string output = folder.File("out.csv");
  Create(u"-i " + input + u" -o " + output + u" -d 東京都 -l 2");
  ShowAndSettle();
  EXPECT_EQ(prompter.Texts(),
            std::vector<std::string>{"変換が終了しました。\r\n全件数は3件です。"});
  EXPECT_EQ(Lines(ReadCp932(output)).size(), 4u);
}

// The stop button takes effect at the next record: Yes ends the run without the end message,
// No goes on to the end.
TEST_F(MainWindowTest, StopButtonAsksAndStopsOrContinues) {
  for (const Answer answer : {Answer::Yes, Answer::No}) {
    SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
    OpenOnSmallInput("out.csv", answer);
    QTimer::singleShot(0, Get<QPushButton>("cmdCancel"), &QPushButton::click);
    Get<QPushButton>("cmdExec")->click();
    ASSERT_FALSE(prompter.records.empty());
    EXPECT_EQ(prompter.records[0].Utf8(), "変換を中止しますか？");
    EXPECT_EQ(prompter.records[0].buttons, MessageButtons::YesNo);
    if (answer == Answer::Yes) {
      EXPECT_EQ(window->LastOutcome(), batch::RunOutcome::Stopped);
      EXPECT_EQ(prompter.records.size(), 1u) << "no end message";
    } else {
      EXPECT_EQ(window->LastOutcome(), batch::RunOutcome::Finished);
      EXPECT_EQ(prompter.Texts().back(), "変換が終了しました。\r\n全件数は3件です。");
    }
    EXPECT_TRUE(Get<QWidget>("cmdExec")->isVisible());
    EXPECT_FALSE(Get<QWidget>("cmdCancel")->isVisible());
    window.reset();
  }
}

// Closing the window during a run goes through the stop question; the window closes only once
// the run has stopped and closed its files.
TEST_F(MainWindowTest, ClosingDuringARunStopsItFirst) {
  for (const Answer answer : {Answer::Yes, Answer::No}) {
    SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
    const std::u16string output = folder.File("closing.csv");
    OpenOnSmallInput("closing.csv", answer);
    QTimer::singleShot(0, window.get(), &QWidget::close);
    Get<QPushButton>("cmdExec")->click();
    ASSERT_FALSE(prompter.records.empty());
    EXPECT_EQ(prompter.records[0].Utf8(), "変換を中止しますか？");
    if (answer == Answer::Yes) {
      EXPECT_EQ(window->LastOutcome(), batch::RunOutcome::Stopped);
      EXPECT_FALSE(window->isVisible());
      EXPECT_FALSE(window->Database().IsOpen()) << "unload closed the databases";
      // The output is closed: it can be replaced at once.
      std::filesystem::remove(text::ToUtf8(output));
    } else {
      EXPECT_EQ(window->LastOutcome(), batch::RunOutcome::Finished);
      EXPECT_TRUE(window->isVisible()) << "declining the stop keeps the window";
      EXPECT_EQ(Lines(ReadCp932(output)).size(), 4u);
    }
    window.reset();
  }
}

TEST_F(MainWindowTest, ExistingOutputQuestion) {
  const std::u16string existing = folder.File("exists.csv");
  WriteCp932(existing, u"x\r\n");
  const QString existingPath = QString::fromStdU16String(existing);
  struct Case {
    const char* name;
    int16_t notOverwrite;
    Answer answer;
    std::string question;
    QString expectedBox;
  };
  const std::string prefix = existingPath.toStdString() + "は既に存在しています。\r\n";
  const Case cases[] = {
      {"overwrite, OK", 0, Answer::Ok, prefix + "上書きしますか", existingPath},
      {"overwrite, Cancel", 0, Answer::Cancel, prefix + "上書きしますか", "/previous/out.csv"},
      {"unprocessed-only mode, OK", 1, Answer::Ok, prefix + "上書禁止モードで実行します。",
       existingPath},
      {"unprocessed-only mode, Cancel", 1, Answer::Cancel, prefix + "上書禁止モードで実行します。",
       "/previous/out.csv"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteProfileString(ini, u"MOK", u"NOTOVERWRITE", c.notOverwrite ? u"1" : u"0");
    WriteProfileString(ini, u"CURRENT", u"OutputFilePath", u"/previous/out.csv");
    prompter.Clear();
    prompter.answers = {c.answer};
    Create();
    ui::FileDialogRequest seen;
    window->ShowFileDialog = [&](const ui::FileDialogRequest& request) {
      seen = request;
      return existingPath;
    };
    Get<QPushButton>("cmdOutputFile")->click();
    EXPECT_EQ(seen.title, QStringLiteral("出力ファイル選択"));
    EXPECT_EQ(seen.startFolder, QStringLiteral("/previous"));
    EXPECT_EQ(seen.proposedName, QStringLiteral("out.csv"));
    EXPECT_EQ(seen.filter, QStringLiteral("CSVﾌｧｲﾙ (*.csv);;全てのﾌｧｲﾙ (*.*)"));
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].Utf8(), c.question);
    EXPECT_EQ(prompter.records[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(Text("txtOutputFile"), c.expectedBox);
    window.reset();
  }
}

TEST_F(MainWindowTest, InputChooserStartsAtTheRememberedFolderAndCancelChangesNothing) {
  WriteProfileString(ini, u"CURRENT", u"InputFilePath", u"noseparator.csv");
  Create();
  ui::FileDialogRequest seen;
  QString answer;
  window->ShowFileDialog = [&](const ui::FileDialogRequest& request) {
    seen = request;
    return answer;
  };
  Get<QPushButton>("cmdInputFile")->click();
  EXPECT_EQ(seen.title, QStringLiteral("入力ファイル選択"));
  EXPECT_EQ(seen.startFolder, QStringLiteral("/remembered/in"));
  EXPECT_EQ(seen.proposedName, QString());
  EXPECT_EQ(Text("txtInputFile"), QStringLiteral("noseparator.csv"));

  answer = QStringLiteral("/chosen/a.csv");
  Get<QPushButton>("cmdInputFile")->click();
  EXPECT_EQ(Text("txtInputFile"), answer);
  EXPECT_EQ(window->StrInputPath(), u"/chosen/a.csv");
  EXPECT_TRUE(prompter.records.empty()) << "no question for an input file";
}

TEST_F(MainWindowTest, DroppedFilesGoToTheInputOrTheOutputBox) {
  Create();
  window->show();
  // Without a drag in progress the application does not deliver drop events, so they are
  // handed to the window as the toolkit would: through its filter for the path boxes, to the
  // window itself otherwise.
  QObject* const windowObject = window.get();
  auto drop = [&](QWidget* target, const QStringList& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files)
      urls << QUrl::fromLocalFile(file);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (target == window.get()) {
      windowObject->event(&enter);
      EXPECT_TRUE(enter.isAccepted());
      windowObject->event(&event);
    } else {
      EXPECT_TRUE(windowObject->eventFilter(target, &enter));
      EXPECT_TRUE(windowObject->eventFilter(target, &event));
    }
    EXPECT_TRUE(event.isAccepted());
  };
  drop(window.get(), {"/d/first.csv", "/d/second.csv"});
  EXPECT_EQ(Text("txtInputFile"), QStringLiteral("/d/first.csv"));
  EXPECT_EQ(window->StrInputPath(), u"/d/first.csv");
  drop(Get<QLineEdit>("txtOutputFile"), {"/d/out.csv"});
  EXPECT_EQ(Text("txtOutputFile"), QStringLiteral("/d/out.csv"));
  EXPECT_EQ(Text("txtInputFile"), QStringLiteral("/d/first.csv"));
  drop(Get<QLineEdit>("txtInputFile"), {"/d/other.csv"});
  EXPECT_EQ(Text("txtInputFile"), QStringLiteral("/d/other.csv"));
  EXPECT_TRUE(prompter.records.empty()) << "no overwrite question for a drop";
}

TEST_F(MainWindowTest, PreviewNeedsAnInputAndReadsTheLastTakenPath) {
  Create();
  Get<QLineEdit>("txtInputFile")->clear();
  Get<QPushButton>("cmdSrcPreview")->click();
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"入力ファイルがセットされていません。"});

  // A typed path is not yet the input: the preview reads the file taken before.
  prompter.Clear();
  const std::u16string input = WriteSmallInput();
  window->DropFiles({QString::fromStdU16String(input)}, false);
  Get<QLineEdit>("txtInputFile")->setText(QStringLiteral("/typed/elsewhere.csv"));
  int columns = -1;
  WhenModalShows("frmPreview", [&](QWidget* preview) {
    auto* grid = Child<QTableWidget>(preview, "flxgrdPreview");
    columns = grid->columnCount();
    grid->setCurrentCell(1, 2);
    Child<QPushButton>(preview, "cmdRegField")->click();
    Child<QPushButton>(preview, "cmdExit")->click();
  });
  Get<QPushButton>("cmdSrcPreview")->click();
  EXPECT_EQ(columns, 3);
  EXPECT_EQ(Text("txtAdrField_0"), QStringLiteral("3"));
  EXPECT_TRUE(prompter.records.empty()) << prompter.Texts().front();
}

TEST_F(MainWindowTest, EnvironmentDialogReloadsTheRegionList) {
  Create();
  TempFolder empty;
  WhenModalShows("frmIniFile", [&](QWidget* dialog) {
    Child<QLineEdit>(dialog, "txtDbDir")->setText(QString::fromStdString(empty.path().string()));
    Child<QPushButton>(dialog, "cmdExit")->click();
  });
  Get<QPushButton>("cmdDbPath")->click();
  EXPECT_EQ(Get<QComboBox>("cmbSelectPref")->count(), 0);
  EXPECT_EQ(prompter.records.size(), 1u) << "the database message of the reload";
  EXPECT_EQ(IniValue(ini, u"MOK", u"DBDIR"), text::FromUtf8(empty.path().string()));

  WhenModalShows("frmIniFile", [&](QWidget* dialog) {
    Child<QLineEdit>(dialog, "txtDbDir")
        ->setText(QString::fromStdU16String(SampleDatabaseFolder()));
    Child<QPushButton>(dialog, "cmdExit")->click();
  });
  Get<QPushButton>("cmdSetEnviron")->click();
  EXPECT_EQ(Get<QComboBox>("cmbSelectPref")->count(), 1);
}

TEST_F(MainWindowTest, RunningStateSwitchesTheButtons) {
  Create();
  window->show();
  window->SetRunningState(true);
  EXPECT_FALSE(Get<QWidget>("cmdExec")->isVisible());
  EXPECT_TRUE(Get<QWidget>("cmdCancel")->isVisible());
  EXPECT_FALSE(Get<QWidget>("cmdRegDictionary")->isVisible());
  for (const char* name : {"cmdOption", "cmdSetEnviron", "cmdSrcPreview", "cmdUserDictionary",
                           "cmdDbPath", "cmdInputFile", "cmdOutputFile"}) {
    EXPECT_FALSE(Get<QWidget>(name)->isEnabled()) << name;
  }
  EXPECT_TRUE(Get<QWidget>("cmdExit")->isEnabled());
  EXPECT_TRUE(Get<QWidget>("txtInputFile")->isEnabled());
  window->SetRunningState(false);
  EXPECT_TRUE(Get<QWidget>("cmdExec")->isVisible());
  EXPECT_FALSE(Get<QWidget>("cmdCancel")->isVisible());
  EXPECT_TRUE(Get<QWidget>("cmdRegDictionary")->isVisible());
  EXPECT_TRUE(Get<QWidget>("cmdOption")->isEnabled());
}

TEST_F(MainWindowTest, WrongDatabaseFolderStillOpensTheWindow) {
  WriteProfileString(ini, u"MOK", u"DBDIR", folder.File("nothing-here"));
  WriteProfileString(ini, u"CURRENT", u"InputFilePath", u"/not/loaded.csv");
  Create(u"-i a.csv");
  EXPECT_EQ(prompter.records.size(), 1u) << "the database message";
  EXPECT_EQ(Get<QComboBox>("cmbSelectPref")->count(), 0);
  EXPECT_EQ(Text("txtInputFile"), QStringLiteral("-i a.csv"))
      << "without the database the remembered entries are not loaded";
}

}  // namespace
}  // namespace mok::test
