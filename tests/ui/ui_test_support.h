// Shared pieces of the window tests: the QApplication on the offscreen platform, CP932 files and
// settings keys written and read back, the learning dictionary as stored, controls found by their
// names, the modal window that a click opens, and the fixture of a window under test.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "startup/profile.h"
#include "startup/settings.h"
#include "support/recording_prompter.h"
#include "support/test_database_builder.h"

namespace mok::test {

using Strings = std::vector<std::string>;

// Every row of 学習 in the main database of `dbDir`, in table order, as
// "scope|kind|registered|converted|count" with "-" for Null.
std::vector<std::string> LearnedRows(const std::u16string& dbDir);

// A control by objectName; fails the test when it is missing.
template <class T = QWidget>
T* Child(QWidget* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  if (!child)
    ADD_FAILURE() << "no control " << name;
  return child;
}

// Clicks the named button with the mouse, as a user does.
void Click(QWidget* window, const char* button);
// The text a control shows: a box's or a label's text, a combo box's current text.
QString TextOf(QWidget* control);

// Renders `window` as a screenshot would and returns every text it shows (window title, labels,
// buttons, frames, combo boxes, list headers) that holds an English word: a run of two or more
// Latin letters other than the program's names and the encodings' names (MOK2, CSV, UTF-8…).
// Paths are not words.
Strings EnglishTexts(QWidget* window);

// Runs `action`, which may open a modal window (its event loop then runs inside `action`), and
// returns that window's objectName, "" when none opened. `inside` works in the window, which is
// closed afterwards unless `inside` closed it.
QString OpenedBy(const std::function<void()>& action,
                 const std::function<void(QWidget*)>& inside = {});

// A window of type W under test, with a temporary folder, the settings and a prompter to give it.
template <class W>
class WindowTest : public ::testing::Test {
 protected:
  template <class T = QWidget>
  T* Get(const char* name) {
    return Child<T>(window.get(), name);
  }
  std::string Text(const char* name) { return TextOf(Get(name)).toStdString(); }
  void Type(const char* box, const QString& text) { Get<QLineEdit>(box)->setText(text); }
  bool On(const char* name) { return Get<QAbstractButton>(name)->isChecked(); }
  // Clicks the named buttons (and check boxes, option buttons) in turn.
  template <class... Names>
  void Press(const Names&... buttons) {
    (Click(window.get(), buttons), ...);
  }
  Strings Messages() const { return prompter.Texts(); }

  TempFolder folder;
  Settings settings;
  RecordingPrompter prompter;
  std::unique_ptr<W> window;
};

}  // namespace mok::test
