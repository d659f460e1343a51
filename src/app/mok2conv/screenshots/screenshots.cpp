// Renders every window of the desktop program to PNG files, filled with the Tokyo sample data
// where a window shows data: the main window after converting the sample input, the preview of
// that input and of the run's output, the unconverted list of the run, the correction dialog on
// one of its addresses, the settings dialogs, the folder chooser, the learning-dictionary editor,
// the standard dialogs (a message box, a question, the file chooser) in the program's language,
// and the main window once a customer file with its address in two fields was chosen. The user
// guide (docs/ja) shows some of these pictures: scripts/guide-images copies them there.
//
//   mok2conv_screenshots OUTPUT_DIR SAMPLE_DB_DIR SAMPLE_INPUT
//
// Meant for the offscreen platform (QT_QPA_PLATFORM=offscreen): nothing is shown on a screen
// and every message box is answered without a user (printed, OK or No).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>

#include "batch/session.h"
#include "engine/rules/fixed_tables.h"
#include "startup/command_line.h"
#include "startup/profile.h"
#include "text/text.h"
#include "ui/conversion_options_dialog.h"
#include "ui/correction_dialog.h"
#include "ui/directory_chooser.h"
#include "ui/environment_dialog.h"
#include "ui/japanese_translation.h"
#include "ui/learning_dict_window.h"
#include "ui/main_window.h"
#include "ui/preview_window.h"
#include "ui/qt_prompter.h"
#include "ui/unconverted_list_window.h"

#include "screenshot_samples.h"

namespace {

// Prints every message and answers every question with its "no" button (OK when there is none),
// so that the run never waits for a user.
class UnattendedPrompter : public mok::Prompter {
 public:
  void ShowMessage(const std::u16string& text, mok::MessageIcon, const std::u16string&) override {
    std::fprintf(stderr, "message: %s\n", mok::text::ToUtf8(text).c_str());
  }
  mok::Answer Ask(const std::u16string& text, mok::MessageButtons buttons, mok::MessageIcon,
                  const std::u16string&) override {
    std::fprintf(stderr, "question: %s\n", mok::text::ToUtf8(text).c_str());
    switch (buttons) {
      case mok::MessageButtons::YesNo:
      case mok::MessageButtons::YesNoCancel:
        return mok::Answer::No;
      case mok::MessageButtons::OkCancel:
        return mok::Answer::Cancel;
      case mok::MessageButtons::Ok:
        break;
    }
    return mok::Answer::Ok;
  }
};

void Settle(int ms = 50) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Writes <objectName>.png of the window.
bool Save(QWidget* window, const QDir& out) {
  window->show();
  Settle();
  const QString file = out.filePath(window->objectName() + QStringLiteral(".png"));
  const bool saved = window->grab().save(file);
  std::fprintf(stderr, "%s %s (%dx%d)\n", saved ? "wrote" : "FAILED", qPrintable(file),
               window->width(), window->height());
  window->hide();
  return saved;
}

// Opens a modal window through `open` and writes <name>.png of it once it shows, then closes it:
// the standard dialogs (message boxes, the file chooser) are rendered as the user sees them.
bool SaveModal(const std::function<void()>& open, const QString& name, const QDir& out) {
  bool saved = false;
  QTimer::singleShot(100, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      modal->setObjectName(name);
      saved = Save(modal, out);
      modal->close();
    }
  });
  open();
  if (!saved)
    std::fprintf(stderr, "FAILED %s: nothing opened\n", qPrintable(name));
  return saved;
}

// Copies the sample input and a customer file (as `customers`) into `work`, links the database
// folder there as `databases`, and makes `work` the current folder, so that the windows show
// these files by their names alone, the same on every machine and at every rendering.
bool PrepareWorkFolder(const QDir& work, const QFileInfo& sampleInput, const QString& customers,
                       const QString& databaseFolder, const QString& databases) {
  const bool ready =
      QFile::copy(sampleInput.absoluteFilePath(), work.filePath(sampleInput.fileName())) &&
      QFile::copy(sampleInput.dir().filePath(QStringLiteral("customers-utf8-bom.csv")),
                  work.filePath(customers)) &&
      QFile::link(QFileInfo(databaseFolder).absoluteFilePath(), work.filePath(databases)) &&
      QDir::setCurrent(work.path());
  if (!ready)
    std::fprintf(stderr, "FAILED to copy the sample files into %s\n", qPrintable(work.path()));
  return ready;
}

// The output of the run in the preview's table, every column as wide as its contents and the
// window as wide as the table: the input's fields, then the ones the conversion added.
bool SaveResultPreview(const std::u16string& output, mok::Prompter& prompter, const QDir& out) {
  QLineEdit addressField;
  mok::ui::PreviewWindow result(output, std::nullopt, &addressField, prompter);
  result.setObjectName(QStringLiteral("ResultPreview"));
  result.show();
  Settle();
  if (auto* grid = result.findChild<QTableWidget*>(QStringLiteral("flxgrdPreview"))) {
    grid->resizeColumnsToContents();
    const int tableWidth = grid->horizontalHeader()->length() + grid->verticalHeader()->width() +
                           2 * grid->frameWidth();
    result.resize(result.width() + std::max(0, tableWidth - grid->viewport()->width()),
                  result.height());
  }
  return Save(&result, out);
}

// The detailed settings, the environment dialog and the folder chooser.
bool SaveSettingsDialogs(mok::batch::Session& session, const std::u16string& ini,
                         mok::Prompter& prompter, const QDir& out) {
  bool ok = true;
  {
    mok::ui::ConversionOptionsDialog dialog(session.settings, ini, prompter);
    ok &= Save(&dialog, out);
  }
  {
    mok::ui::EnvironmentDialog dialog(session.settings, ini, prompter, [] {});
    ok &= Save(&dialog, out);
  }
  // The chooser opens on the database folder itself, shown with its whole path.
  mok::ui::DirectoryChooser chooser(QFileInfo(QString::fromStdU16String(session.settings.dbDir))
                                        .canonicalFilePath()
                                        .toStdU16String(),
                                    prompter);
  return Save(&chooser, out) && ok;
}

// The unconverted list of the run, and the correction dialog on one of its addresses with a
// misspelt word selected and corrected.
bool SaveCorrectionWindows(mok::batch::Session& session, mok::ui::MainWindow& window,
                           mok::Prompter& prompter, const QDir& out) {
  mok::ui::UnconvertedListWindow list(session.settings, session.database, session.recognizer,
                                      prompter);
  list.FillUnconvertedRows(window.Run().LastRunFiles());
  bool ok = Save(&list, out);
  mok::ui::CorrectionDialog dialog(session.settings, session.database, session.recognizer, prompter,
                                   u"東京都渋谷区はち山町1-1");
  dialog.show();
  Settle();
  mok::screenshots::FillCorrectionSample(dialog, u"はち山", u"鉢山");
  return Save(&dialog, out) && ok;
}

// The dictionary editor on a main database of its own with a few learned words (the sample
// database's dictionary is empty and stays untouched).
bool SaveDictionaryEditor(mok::Prompter& prompter, const QDir& out) {
  QTemporaryDir dictDir;
  const std::u16string folder = dictDir.path().toStdU16String();
  if (const auto written = mok::screenshots::WriteLearningDictSample(folder); !written) {
    std::fprintf(stderr, "FAILED dictionary sample: %s\n",
                 mok::text::ToUtf8(written.error().Text()).c_str());
    return false;
  }
  mok::db::AddressDatabase dictionary;
  dictionary.Open(folder);
  mok::ui::LearningDictWindow editor(dictionary, prompter, u"東京都");
  return Save(&editor, out);
}

// The standard dialogs in the program's language: a message box, a question and the file
// chooser, as the main window shows them.
bool SaveStandardDialogs(mok::ui::MainWindow& window, const QDir& out) {
  mok::ui::QtPrompter boxes(&window);
  window.show();
  Settle();
  bool ok = SaveModal([&] { boxes.ShowMessage(u"変換が終了しました。\r\n全件数は314件です。"); },
                      QStringLiteral("MessageBox"), out);
  ok &= SaveModal([&] { boxes.Ask(mok::batch::kStopQuestion, mok::MessageButtons::YesNo); },
                  QStringLiteral("MessageBoxQuestion"), out);
  ok &= SaveModal([&] { window.findChild<QPushButton*>(QStringLiteral("cmdInputFile"))->click(); },
                  QStringLiteral("CommonDialog1"), out);
  return ok;
}

// The main window just after an input whose address is split over two fields (住所1, 住所2)
// was chosen with the file chooser: the address fields and what they hold.
bool SaveChosenInput(mok::ui::MainWindow& window, const QString& input, const QDir& out) {
  window.SetFileDialog([&](const mok::ui::FileDialogRequest&) { return input; });
  window.findChild<QPushButton*>(QStringLiteral("cmdInputFile"))->click();
  Settle(500);  // the input summary follows the boxes once they have rested
  window.setObjectName(QStringLiteral("FieldChosen"));
  return Save(&window, out);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // The pictures show the program as a Japanese desktop shows it, also the dates of the file
  // chooser, whatever the locale of the machine that renders them.
  qputenv("LC_ALL", "ja_JP.UTF-8");
  QApplication app(argc, argv);
  mok::ui::InstallJapaneseTranslation(app);
  if (argc != 4) {
    std::fputs("usage: mok2conv_screenshots OUTPUT_DIR SAMPLE_DB_DIR SAMPLE_INPUT\n", stderr);
    return 2;
  }
  const QDir out(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
  QDir().mkpath(out.path());
  const QFileInfo sampleInput(QString::fromLocal8Bit(argv[3]));
  QTemporaryDir work;
  const QString customers = QStringLiteral("顧客名簿.csv");
  const QString databases = QStringLiteral("mok2");
  if (!PrepareWorkFolder(QDir(work.path()), sampleInput, customers, QString::fromLocal8Bit(argv[2]),
                         databases))
    return 1;
  const std::u16string input = sampleInput.fileName().toStdU16String();
  const std::u16string output = sampleInput.completeBaseName().toStdU16String() + u"_結果.csv";
  const std::u16string ini = QDir(work.path()).filePath(QStringLiteral("mok.ini")).toStdU16String();
  mok::WriteProfileString(ini, u"MOK", u"DBDIR", databases.toStdU16String());
  mok::WriteProfileString(ini, u"CURRENT", u"AdrField1", u"3");
  // The result shows where each address landed (the column 位置レベル).
  mok::WriteProfileString(ini, u"MOK", u"POSLEVEL", u"1");

  UnattendedPrompter prompter;
  mok::batch::Session session(ini, prompter);
  mok::engine::LoadFixedNames();

  // The main window after a run started from the command line, as a user would start it.
  mok::CommandLineOptions options;
  const std::u16string arguments = u"-i " + input + u" -o " + output + u" -d 東京都 -l 2";
  mok::ui::MainWindow window(session, prompter, options, arguments);
  options.firstActivate = true;
  mok::ParseCommandLine(arguments, options, prompter);
  window.show();
  QElapsedTimer clock;
  clock.start();
  while ((options.firstActivate || window.Run().IsRunning()) && clock.elapsed() < 120000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  // The input summary beside the boxes follows them once they have rested.
  const auto* sample = window.findChild<QLabel*>(QStringLiteral("lblAdrFieldSample"));
  while (sample && sample->text().isEmpty() && clock.elapsed() < 120000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  bool ok = Save(&window, out);
  {
    QLineEdit addressField;
    mok::ui::PreviewWindow preview(input, std::nullopt, &addressField, prompter);
    ok &= Save(&preview, out);
  }
  ok &= SaveResultPreview(output, prompter, out);
  ok &= SaveSettingsDialogs(session, ini, prompter, out);
  ok &= SaveCorrectionWindows(session, window, prompter, out);
  ok &= SaveDictionaryEditor(prompter, out);
  ok &= SaveStandardDialogs(window, out);
  ok &= SaveChosenInput(window, customers, out);
  window.close();
  return ok ? 0 : 1;
}
