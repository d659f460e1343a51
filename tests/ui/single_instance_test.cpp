// The single-copy guard: a later copy reaches the first one, which is asked for its window; a
// name left behind by a copy that ended without cleaning up is taken over.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QUuid>

#include "ui/single_instance.h"

namespace mok::test {
namespace {

QString UniqueKey() {
  return QStringLiteral("mok2conv-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

void WaitFor(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 3000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(SingleInstanceTest, SecondCopyAsksTheFirstForItsWindow) {
  const QString key = UniqueKey();
  ui::SingleInstance first(key);
  ASSERT_FALSE(first.SignalRunningCopy(200)) << "nobody runs yet";
  ASSERT_TRUE(first.Listen());
  int requests = 0;
  first.OnActivateRequest = [&] { ++requests; };

  // The second copy runs in another process in real life; here it needs the first one's event
  // loop to be served, so it connects from a helper timer-driven step.
  ui::SingleInstance second(key);
  EXPECT_EQ(second.ServerName(), first.ServerName());
  bool signalled = false;
  QMetaObject::invokeMethod(
      &second, [&] { signalled = second.SignalRunningCopy(2000); }, Qt::QueuedConnection);
  WaitFor([&] { return requests > 0; });
  EXPECT_TRUE(signalled);
  EXPECT_EQ(requests, 1);
}

TEST(SingleInstanceTest, LeftoverNameIsTakenOver) {
  const QString key = UniqueKey();
  ui::SingleInstance probe(key);
  // A socket file without a server behind it, as a crashed copy leaves it.
  const QString path = QDir(QDir::tempPath()).filePath(probe.ServerName());
  {
    QFile leftover(path);
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
  }
  ui::SingleInstance copy(key);
  EXPECT_FALSE(copy.SignalRunningCopy(200));
  EXPECT_TRUE(copy.Listen());
  ui::SingleInstance later(key);
  int requests = 0;
  copy.OnActivateRequest = [&] { ++requests; };
  QMetaObject::invokeMethod(
      &later, [&] { later.SignalRunningCopy(2000); }, Qt::QueuedConnection);
  WaitFor([&] { return requests > 0; });
  EXPECT_EQ(requests, 1);
}

TEST(SingleInstanceTest, DifferentProgramsDoNotMeet) {
  ui::SingleInstance a(UniqueKey());
  ui::SingleInstance b(UniqueKey());
  ASSERT_TRUE(a.Listen());
  EXPECT_FALSE(b.SignalRunningCopy(200));
}

}  // namespace
}  // namespace mok::test
