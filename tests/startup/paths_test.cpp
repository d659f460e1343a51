#include "startup/paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "startup/system_init.h"
#include "startup_test_util.h"

namespace mok {
namespace {

using test::U8;

TEST(Paths, AddPathSeparator) {
  struct Case {
    std::u16string path;
    std::string expected;
  };
  const Case cases[] = {
      {u"/data", "/data/"},
      {u"/data/", "/data/"},
      {u"  /data  ", "/data/"},
      {u"D:\\地図データ\\", "D:\\地図データ\\"},  // the other platform's separator counts too
      {u"D:\\地図データ", "D:\\地図データ/"},
      {u"", ""},
      {u"   ", ""},
      {u"/", "/"},
      {u"a", "a/"},
      {u"/my data", "/my data/"},  // inner spaces stay
  };
  for (const auto& c : cases) {
    EXPECT_EQ(U8(AddPathSeparator(c.path)), c.expected) << "[" << U8(c.path) << "]";
  }
}

TEST(Paths, JoinPathAndDatabasePath) {
  EXPECT_EQ(U8(JoinPath(u"/data", u"東京都.sqlite")), "/data/東京都.sqlite");
  EXPECT_EQ(U8(JoinPath(u"/data/", u"x")), "/data/x");
  EXPECT_EQ(U8(JoinPath(u"", u"x")), "x");
}

TEST(Paths, ProgramDirectoryHoldsTheRunningProgram) {
  const std::filesystem::path dir(ProgramDirectory());
  EXPECT_TRUE(std::filesystem::exists(dir / "test_startup")) << dir;
}

}  // namespace
}  // namespace mok
