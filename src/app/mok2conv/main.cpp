// mok2conv: the desktop program. One copy runs per user; a second start brings the first copy's
// window to the front and ends without a word. Otherwise the settings are loaded from mok.ini
// beside the program, the engine's fixed tables are built, the session is made of the settings,
// the main window loads (the session's main database, region list, last-used entries), the
// command line is read, and the window is shown; its first activation applies the command line and
// may start a run.
#include <QApplication>
#include <QIcon>
#include <memory>
#include <utility>

#include "batch/session.h"
#include "engine/rules/fixed_tables.h"
#include "startup/command_line.h"
#include "startup/system_init.h"
#include "ui/japanese_translation.h"
#include "ui/main_window.h"
#include "ui/qt_prompter.h"
#include "ui/single_instance.h"

int main(int argc, char** argv) {
  mok::ui::UseJapaneseDates();
  QApplication app(argc, argv);
  // The argument text is taken after Qt has removed the options of the toolkit itself
  // (-platform, -style...), which are not the program's.
  const std::vector<std::u16string> arguments = mok::ProgramArguments(argc, argv);
  const std::u16string argumentText = mok::JoinArguments(arguments);
  QApplication::setApplicationName(QStringLiteral("mok2conv"));
  // The windows carry the icon of the installed menu entry (mok2 of the icon theme; none when the
  // program runs from its build folder) and name that entry to the desktop.
  QGuiApplication::setDesktopFileName(QStringLiteral("mok2"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("mok2")));
  mok::ui::InstallJapaneseTranslation(app);

  mok::ui::SingleInstance single(QStringLiteral("mok2conv"));
  if (single.SignalRunningCopy())
    return 0;
  single.Listen();

  mok::ui::QtPrompter prompter;
  mok::Startup startup = mok::InitializeSystem(
      prompter, u"", [] { mok::engine::LoadFixedNames(); }, [] { return true; });

  mok::batch::Session session(startup.settingsFilePath, std::move(startup.settings));

  // Creating the window runs its load step, before the command line is read.
  mok::CommandLineOptions commandLine;
  mok::ui::MainWindow window(session, prompter, commandLine, argumentText);
  window.setWindowTitle(QString::fromStdU16String(mok::kMainWindowTitle));
  prompter.SetParent(&window);

  commandLine.valid = false;
  commandLine.firstActivate = true;
  mok::ParseCommandLine(arguments, commandLine, prompter);

  single.OnActivateRequest = [&window] {
    if (window.isMinimized())
      window.showNormal();
    window.raise();
    window.activateWindow();
  };
  window.show();
  return app.exec();
}
