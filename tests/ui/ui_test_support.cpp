#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <fstream>
#include <random>
#include <sstream>

#include "db/import/main_database_import.h"
#include "db/import/town_import.h"
#include "startup/profile.h"
#include "text/text.h"

namespace mok::test {
namespace {

// One QApplication for the whole test binary, on the offscreen platform unless told otherwise.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

std::filesystem::path PathOf(const std::u16string& path) {
  return std::filesystem::path(text::ToUtf8(path));
}

}  // namespace

TempFolder::TempFolder() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("mok_ui_test_" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::u16string TempFolder::File(const std::string& name) const {
  return text::FromUtf8((path_ / name).string());
}

void WriteCp932(const std::u16string& path, const std::u16string& content) {
  std::string error;
  const auto bytes = text::EncodeCp932(content, &error);
  ASSERT_TRUE(bytes.has_value()) << error;
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
  out << *bytes;
}

std::string ReadBytes(const std::u16string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

std::u16string ReadCp932(const std::u16string& path) {
  return text::DecodeCp932(ReadBytes(path)).value_or(u"<not CP932>");
}

std::u16string IniValue(const std::u16string& iniPath, const std::u16string& section,
                        const std::u16string& key) {
  return ReadProfileString(iniPath, section, key, u"");
}

void WhenModalShows(const QString& objectName, std::function<void(QWidget*)> action) {
  auto* timer = new QTimer;
  auto* clock = new QElapsedTimer;
  clock->start();
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, clock, objectName, action] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->isVisible() && window->isModal() && window->objectName() == objectName) {
        timer->stop();
        timer->deleteLater();
        delete clock;
        action(window);
        return;
      }
    }
    if (clock->elapsed() > 5000) {
      ADD_FAILURE() << "window " << objectName.toStdString() << " never showed";
      timer->stop();
      timer->deleteLater();
      delete clock;
    }
  });
  timer->start();
}

std::u16string SampleDatabaseFolder() {
  static const std::u16string folder = [] {
    const std::filesystem::path built(MOK_SAMPLE_DB);
    if (std::filesystem::exists(built / "mok2.sqlite") &&
        std::filesystem::exists(built / "東京都.sqlite")) {
      return text::FromUtf8(built.string());
    }
    // Built once for this test run and left for the system to clean with the temp folder.
    static QTemporaryDir dir;
    const std::filesystem::path target(dir.path().toStdString());
    const std::filesystem::path data(MOK_DATA_DIR);
    db::CreateMainDatabase(target, data / "prefectures.csv");
    db::ImportTowns(target, u"東京都", data / "geolonia-tokyo-2022.csv", u"東京都");
    return text::FromUtf8(target.string());
  }();
  return folder;
}

}  // namespace mok::test
