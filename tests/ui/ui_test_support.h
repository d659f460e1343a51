// Shared pieces of the window tests: the QApplication on the offscreen platform, temporary
// folders with CP932 files, reading keys back from mok.ini, answering a modal window that a
// click opens, and the Tokyo sample database built once per test run.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>

namespace mok::test {

// A temporary folder removed at the end of the test.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::u16string File(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// Writes `text` (UTF-16) as CP932 bytes; fails the test when it cannot be encoded.
void WriteCp932(const std::u16string& path, const std::u16string& text);
std::string ReadBytes(const std::u16string& path);
std::u16string ReadCp932(const std::u16string& path);

// A key of a section of the settings file, "" when absent.
std::u16string IniValue(const std::u16string& iniPath, const std::u16string& section,
                        const std::u16string& key);

// Runs `action` on the first visible modal window named `objectName` once it shows (the click
// that opens it blocks in its own event loop). Gives up after a few seconds.
void WhenModalShows(const QString& objectName, std::function<void(QWidget*)> action);

// A child widget by objectName; fails the test when missing.
template <class T>
T* Child(QWidget* parent, const QString& name) {
  T* child = parent->findChild<T*>(name);
  if (!child)
    ADD_FAILURE() << "no control " << name.toStdString();
  return child;
}

// The folder of the Tokyo sample databases (mok2.sqlite and 東京都.sqlite): the build's
// sample-db folder when it has been built, otherwise one built here from the bundled data.
std::u16string SampleDatabaseFolder();

}  // namespace mok::test
