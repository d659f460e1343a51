// The desktop Prompter: texts, title, icon and buttons reach the message box as given, and the
// button pressed comes back as the answer (closing a question counts as its "no").
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>

#include "ui/qt_prompter.h"
#include "ui_test_support.h"

namespace mok::test {
namespace {

TEST(QtPrompterTest, QuestionsShowTheirButtonsAndReturnThePressedOne) {
  struct Case {
    const char* name;
    MessageButtons buttons;
    QMessageBox::StandardButtons shown;
    QMessageBox::StandardButton press;  // NoButton: close the box with Escape
    Answer expected;
  };
  const Case cases[] = {
      {"yes/no, No", MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
       Answer::No},
      {"yes/no, Yes", MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
       Answer::Yes},
      {"ok/cancel, Cancel", MessageButtons::OkCancel, QMessageBox::Ok | QMessageBox::Cancel,
       QMessageBox::Cancel, Answer::Cancel},
      {"ok/cancel, OK", MessageButtons::OkCancel, QMessageBox::Ok | QMessageBox::Cancel,
       QMessageBox::Ok, Answer::Ok},
      {"ok/cancel, Escape", MessageButtons::OkCancel, QMessageBox::Ok | QMessageBox::Cancel,
       QMessageBox::NoButton, Answer::Cancel},
      {"yes/no, Escape", MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No,
       QMessageBox::NoButton, Answer::No},
  };
  ui::QtPrompter prompter;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QString title, text;
    QMessageBox::StandardButtons shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModalShows("MessageBox", [&](QWidget* window) {
      auto* box = qobject_cast<QMessageBox*>(window);
      ASSERT_NE(box, nullptr);
      title = box->windowTitle();
      text = box->text();
      shown = box->standardButtons();
      icon = box->icon();
      if (c.press == QMessageBox::NoButton) {
        box->reject();
      } else {
        box->button(c.press)->click();
      }
    });
    const Answer answer = prompter.Ask(u"変換を中止しますか？", c.buttons, MessageIcon::Question);
    EXPECT_EQ(answer, c.expected);
    EXPECT_EQ(title, QStringLiteral("MOK住所変換"));
    EXPECT_EQ(text, QStringLiteral("変換を中止しますか？"));
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(icon, QMessageBox::Question);
  }
}

TEST(QtPrompterTest, MessagesKeepTheirTextAndTitle) {
  ui::QtPrompter prompter;
  QString title, text;
  QMessageBox::StandardButtons shown;
  WhenModalShows("MessageBox", [&](QWidget* window) {
    auto* box = qobject_cast<QMessageBox*>(window);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    shown = box->standardButtons();
    box->button(QMessageBox::Ok)->click();
  });
  prompter.ShowMessage(u"変換が終了しました。\r\n全件数は3件です。", MessageIcon::None, u"別の題");
  EXPECT_EQ(title, QStringLiteral("別の題"));
  EXPECT_EQ(text, QStringLiteral("変換が終了しました。\r\n全件数は3件です。"));
  EXPECT_EQ(shown, QMessageBox::StandardButtons(QMessageBox::Ok));
}

}  // namespace
}  // namespace mok::test
