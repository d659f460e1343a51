// Speed of a conversion run in the desktop program against the command-line tool: a
// 20,000-record input made from the bundled sample input is converted against the Tokyo sample
// database once through the main window (offscreen, with the status monitor on, as a user runs
// it) and once by `mok2 convert`. Prints both times and their ratio; the window should cost
// little next to the conversion itself (goal: at most 1.3 times the tool's time).
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "batch/session.h"
#include "engine/rules/fixed_tables.h"
#include "silent_prompter.h"
#include "startup/command_line.h"
#include "startup/profile.h"
#include "text/text.h"
#include "ui/main_window.h"

namespace {

constexpr int kRecords = 20000;

// The sample's header and then its records repeated up to kRecords.
void WriteInput(const std::string& path) {
  std::ifstream in(std::string(MOK_DATA_DIR) + "/sample-input.csv", std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  const std::string text = all.str();
  const std::size_t headerEnd = text.find("\r\n") + 2;
  const std::string records = text.substr(headerEnd);
  std::ofstream out(path, std::ios::binary);
  out << text.substr(0, headerEnd);
  int written = 0;
  for (std::size_t start = 0; written < kRecords; start = start >= records.size() ? 0 : start) {
    const std::size_t end = records.find("\r\n", start) + 2;
    out << records.substr(start, end - start);
    start = end;
    ++written;
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir work;
  const QString dir = work.path();
  const std::string input = (dir + "/input.csv").toStdString();
  WriteInput(input);
  const std::u16string ini = (dir + "/mok.ini").toStdU16String();
  const std::u16string u16input = mok::text::FromUtf8(input);
  mok::WriteProfileString(ini, u"MOK", u"DBDIR", mok::text::FromUtf8(MOK_SAMPLE_DB));
  mok::WriteProfileString(ini, u"MOK", u"MONITOR", u"1");
  mok::WriteProfileString(ini, u"CURRENT", u"InputFilePath", u16input);
  mok::WriteProfileString(ini, u"CURRENT", u"OutputFilePath",
                          (dir + "/desktop-output.csv").toStdU16String());
  mok::WriteProfileString(ini, u"CURRENT", u"SelectPref", u"東京都");
  mok::WriteProfileString(ini, u"CURRENT", u"StartRow", u"2");
  mok::WriteProfileString(ini, u"CURRENT", u"AdrField1", u"3");

  mok::bench::SilentPrompter prompter;  // the end question is not answered Yes: no list
  mok::batch::Session session(ini, prompter);
  mok::engine::LoadFixedNames();
  mok::CommandLineOptions options;  // nothing to apply: the run starts from the button
  mok::ui::MainWindow window(session, prompter, options, u"");
  window.show();
  QCoreApplication::processEvents();

  QElapsedTimer clock;
  clock.start();
  window.findChild<QPushButton*>(QStringLiteral("cmdExec"))->click();
  const double desktop = clock.elapsed() / 1000.0;

  const std::string command = std::string(MOK2_EXE) + " convert --db-dir " + MOK_SAMPLE_DB +
                              " --ini " + (dir + "/tool.ini").toStdString() + " -d 東京都 -i " +
                              input + " -o " + (dir + "/tool-output.csv").toStdString() +
                              " -l 2 -f 3 --no -q";
  clock.restart();
  const int status = std::system(command.c_str());
  const double tool = clock.elapsed() / 1000.0;

  std::printf("%d records, monitor on\n", kRecords);
  std::printf("  mok2conv main window: %7.2f s  (%6.0f records/s)\n", desktop, kRecords / desktop);
  std::printf("  mok2 convert:         %7.2f s  (%6.0f records/s)%s\n", tool, kRecords / tool,
              status == 0 ? "" : "  (the tool failed)");
  std::printf("  ratio: %.2f (goal: at most 1.3)\n", desktop / tool);
  return status == 0 ? 0 : 1;
}
