// The desktop program's services besides its windows: the Prompter's message boxes (text, title,
// icon and buttons as given; the button pressed comes back as the answer, closing a question
// counts as its "no"), and the one-copy guard (a later copy reaches the first one, also over a
// name that a crashed copy left behind).
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QUuid>

#include "ui/qt_prompter.h"
#include "ui/single_instance.h"
#include "ui_test_support.h"

namespace mok::test {
namespace {

using Box = QMessageBox;

// Shows a box through `show`, presses `press` in it (NoButton: closes it as Escape does) and
// returns its title, text, icon and buttons in one line.
QString Shown(const std::function<void()>& show, Box::StandardButton press) {
  QString shown;
  EXPECT_EQ(OpenedBy(show,
                     [&](QWidget* window) {
                       auto* box = qobject_cast<QMessageBox*>(window);
                       shown = QStringList{box->windowTitle(), box->text(),
                                           QString::number(box->icon()),
                                           QString::number(box->standardButtons())}
                                   .join('|');
                       press == Box::NoButton ? box->reject() : box->button(press)->click();
                     }),
            "MessageBox");
  return shown;
}

TEST(QtPrompterTest, BoxesShowWhatTheyAreGivenAndReturnThePressedButton) {
  // The buttons a question shows, the one pressed (NoButton: Escape) and the answer.
  const std::tuple<MessageButtons, Box::StandardButtons, Box::StandardButton, Answer> cases[] = {
      {MessageButtons::YesNo, Box::Yes | Box::No, Box::Yes, Answer::Yes},
      {MessageButtons::YesNo, Box::Yes | Box::No, Box::NoButton, Answer::No},
      {MessageButtons::OkCancel, Box::Ok | Box::Cancel, Box::Ok, Answer::Ok},
      {MessageButtons::OkCancel, Box::Ok | Box::Cancel, Box::NoButton, Answer::Cancel},
  };
  ui::QtPrompter prompter;
  for (const auto& [buttons, shownButtons, press, expected] : cases) {
    Answer answer = Answer::Ok;
    EXPECT_EQ(
        Shown([&] { answer = prompter.Ask(u"中止しますか？", buttons, MessageIcon::Question); },
              press),
        QStringLiteral("MOK住所変換|中止しますか？|%1|%2").arg(Box::Question).arg(shownButtons));
    EXPECT_EQ(answer, expected);
  }
  EXPECT_EQ(
      Shown([&] { prompter.ShowMessage(u"終了。\r\n3件", MessageIcon::Warning, u"題"); }, Box::Ok),
      QStringLiteral("題|終了。\r\n3件|%1|%2").arg(Box::Warning).arg(Box::Ok));
}

// The boxes speak Japanese (Qt's translation), stand beside the window they speak of rather than
// over its text, and are wide enough for their whole title beside the title bar's buttons.
TEST(QtPrompterTest, BoxesAreJapaneseBesideTheirWindowAndShowTheirWholeTitle) {
  QWidget window;
  window.setGeometry(40, 40, 320, 120);
  window.show();
  ui::QtPrompter prompter(&window);
  QRect box;
  QString buttons;
  int titleWidth = 0;
  Strings english = {"not shown"};
  OpenedBy([&] { prompter.Ask(u"変換を中止しますか？", MessageButtons::YesNo); },
           [&](QWidget* shown) {
             auto* messageBox = qobject_cast<QMessageBox*>(shown);
             english = EnglishTexts(shown);
             box = shown->geometry();
             buttons = messageBox->button(Box::Yes)->text() + messageBox->button(Box::No)->text();
             titleWidth = shown->fontMetrics().horizontalAdvance(shown->windowTitle());
           });
  EXPECT_EQ(english, Strings{});
  EXPECT_TRUE(buttons.contains(QStringLiteral("はい")) &&
              buttons.contains(QStringLiteral("いいえ")))
      << buttons.toStdString();
  EXPECT_FALSE(box.intersects(window.frameGeometry()));
  EXPECT_GE(box.width(), titleWidth + 150);
}

// A program name of its own for each guard of the test.
QString UniqueKey() {
  return QStringLiteral("mok2conv-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

TEST(SingleInstanceTest, LaterCopyAsksTheFirstForItsWindowEvenOverALeftoverName) {
  const QString key = UniqueKey();
  ui::SingleInstance first(key);
  // A socket file without a server behind it, as a crashed copy leaves it.
  QFile leftover(QDir(QDir::tempPath()).filePath(first.ServerName()));
  ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
  leftover.close();
  ASSERT_FALSE(first.SignalRunningCopy(200)) << "nobody runs yet";
  ASSERT_TRUE(first.Listen());
  int requests = 0;
  first.OnActivateRequest = [&] { ++requests; };
  // The later copy runs in another process in real life; here it connects from a queued call,
  // so that the event loop serves the first one.
  ui::SingleInstance later(key);
  bool signalled = false;
  QMetaObject::invokeMethod(
      &later, [&] { signalled = later.SignalRunningCopy(2000); }, Qt::QueuedConnection);
  QElapsedTimer clock;
  clock.start();
  while (requests == 0 && clock.elapsed() < 3000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_TRUE(signalled);
  EXPECT_EQ(requests, 1);
  ui::SingleInstance other(UniqueKey());
  EXPECT_FALSE(other.SignalRunningCopy(200)) << "different programs do not meet";
}

}  // namespace
}  // namespace mok::test
