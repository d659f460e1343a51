#include "startup/profile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "startup_test_util.h"

namespace mok {
namespace {

using test::Cp932;
using test::ReadBytes;
using test::ReadText;
using test::TempFolder;
using test::U8;
using test::WriteBytes;
using test::WriteText;

struct ReadCase {
  const char* name;
  std::u16string content;  // file content; u"<none>" for no file
  std::u16string section, key;
  std::u16string expected;  // the default is always u"def"
};

TEST(Profile, ReadsValuesAsTheFileHoldsThem) {
  const std::u16string kSample =
      u"; comment\r\n"
      u"TOP=before any section\r\n"
      u"[MOK]\r\n"
      u"DBDIR = D:\\地図データ  \r\n"
      u"delimiter=\t,\t\r\n"
      u"EMPTY=\r\n"
      u"BLANK=   \r\n"
      u"EQ=a=b\r\n"
      u"NOEQUALS\r\n"
      u"  Indented = yes\r\n"
      u"WIDE=　値　\r\n"
      u"DBDIR=second occurrence\r\n"
      u"QUOTED = \"C:\\Program Files\\map.exe\" \r\n"
      u"SINGLE='a b'\r\n"
      u"HALF=\"abc\r\n"
      u"MIXED=\"abc'\r\n"
      u"\r\n"
      u"[ current ]\r\n"
      u"StartRow=5\r\n"
      u"[MOK]\r\n"
      u"LATE=in a second MOK section\r\n";
  const ReadCase cases[] = {
      {"plain key, blanks around the value", kSample, u"MOK", u"DBDIR", u"D:\\地図データ"},
      {"section and key in other case", kSample, u"mok", u"dbdir", u"D:\\地図データ"},
      {"tabs around the value", kSample, u"MOK", u"DELIMITER", u","},
      {"empty value gives the default", kSample, u"MOK", u"EMPTY", u"def"},
      {"blank value gives the default", kSample, u"MOK", u"BLANK", u"def"},
      {"equals sign inside the value", kSample, u"MOK", u"EQ", u"a=b"},
      {"line without equals sign", kSample, u"MOK", u"NOEQUALS", u"def"},
      {"indented key", kSample, u"MOK", u"INDENTED", u"yes"},
      {"full-width spaces are part of the value", kSample, u"MOK", u"WIDE", u"　値　"},
      {"double quotes around the value", kSample, u"MOK", u"QUOTED", u"C:\\Program Files\\map.exe"},
      {"single quotes around the value", kSample, u"MOK", u"SINGLE", u"a b"},
      {"an opening quote alone stays", kSample, u"MOK", u"HALF", u"\"abc"},
      {"quotes that do not pair stay", kSample, u"MOK", u"MIXED", u"\"abc'"},
      {"missing key", kSample, u"MOK", u"NONE", u"def"},
      {"key of another section", kSample, u"MOK", u"StartRow", u"def"},
      {"key before the first section", kSample, u"MOK", u"TOP", u"def"},
      {"section name with blanks inside the brackets", kSample, u"CURRENT", u"StartRow", u"5"},
      {"missing section", kSample, u"OTHER", u"DBDIR", u"def"},
      {"missing file", u"<none>", u"MOK", u"DBDIR", u"def"},
      {"empty file", u"", u"MOK", u"DBDIR", u"def"},
      {"LF line endings", u"[MOK]\nDBDIR=x\n", u"MOK", u"DBDIR", u"x"},
      {"last line without line ending", u"[MOK]\r\nDBDIR=x", u"MOK", u"DBDIR", u"x"},
  };
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  for (const auto& c : cases) {
    std::filesystem::remove(std::filesystem::path(file));
    if (c.content != u"<none>")
      WriteText(file, c.content);
    EXPECT_EQ(U8(ReadProfileString(file, c.section, c.key, u"def")), U8(c.expected)) << c.name;
  }
}

TEST(Profile, LongValuesAreCutTo126BytesWithoutSplittingACharacter) {
  struct Case {
    const char* name;
    std::u16string value;
    std::u16string expected;
  };
  const std::u16string a125(125, u'a');
  const std::u16string a124(124, u'a');
  const Case cases[] = {
      {"200 ASCII bytes", std::u16string(200, u'x'), std::u16string(126, u'x')},
      {"exactly 126 bytes", std::u16string(126, u'x'), std::u16string(126, u'x')},
      {"double-byte character across the boundary", a125 + u"漢字", a125},
      {"double-byte character ending at byte 126", a124 + u"漢字", a124 + u"漢"},
      {"100 kanji (200 bytes)", std::u16string(100, u'漢'), std::u16string(63, u'漢')},
      {"half-width katakana are one byte each", std::u16string(130, u'ｱ'),
       std::u16string(126, u'ｱ')},
      {"spaces before the cut are trimmed", std::u16string(120, u'x') + u"      y",
       std::u16string(120, u'x')},
  };
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  for (const auto& c : cases) {
    WriteText(file, u"[MOK]\r\nKEY=" + c.value + u"\r\n");
    EXPECT_EQ(U8(ReadProfileString(file, u"MOK", u"KEY", u"def")), U8(c.expected)) << c.name;
  }
}

TEST(Profile, WriteReplacesAValueAndKeepsEveryOtherLine) {
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  // "\xED\x40" is a character with a second CP932 form: an untouched line must keep its bytes.
  const std::string before = Cp932(u"; 設定ファイル\r\n[MOK]\r\nVELMORA=map.exe\r\n") +
                             "NEC=\xED\x40\r\n" +
                             Cp932(
                                 u"dbdir=C:\\old\r\n; note\r\nOTHER=1\r\n\r\n"
                                 u"[CURRENT]\r\nDBDIR=not this one\r\n");
  WriteBytes(file, before);
  EXPECT_NE(WriteProfileString(file, u"MOK", u"DBDIR", u"D:\\地図データ"), 0);
  const std::string expected = Cp932(u"; 設定ファイル\r\n[MOK]\r\nVELMORA=map.exe\r\n") +
                               "NEC=\xED\x40\r\n" +
                               Cp932(
                                   u"DBDIR=D:\\地図データ\r\n; note\r\nOTHER=1\r\n\r\n"
                                   u"[CURRENT]\r\nDBDIR=not this one\r\n");
  EXPECT_EQ(ReadBytes(file), expected);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"mok.ini"}) << "temporary file left";
}

struct WriteCase {
  const char* name;
  std::u16string before;  // u"<none>" for no file
  std::u16string section, key, value;
  std::u16string after;
};

TEST(Profile, WriteAddsKeysSectionsAndFiles) {
  const WriteCase cases[] = {
      {"new key after the last line of its section, before the blank line",
       u"[MOK]\r\nA=1\r\n; c\r\n\r\n[CURRENT]\r\nX=1\r\n", u"MOK", u"B", u"2",
       u"[MOK]\r\nA=1\r\n; c\r\nB=2\r\n\r\n[CURRENT]\r\nX=1\r\n"},
      {"new key in the last section", u"[MOK]\r\nA=1\r\n[CURRENT]\r\nX=1\r\n", u"CURRENT", u"Y",
       u"2", u"[MOK]\r\nA=1\r\n[CURRENT]\r\nX=1\r\nY=2\r\n"},
      {"new key in an empty section", u"[MOK]\r\n\r\n[CURRENT]\r\n", u"MOK", u"A", u"1",
       u"[MOK]\r\nA=1\r\n\r\n[CURRENT]\r\n"},
      {"section matched regardless of case", u"[Mok]\r\nA=1\r\n", u"MOK", u"a", u"2",
       u"[Mok]\r\na=2\r\n"},
      {"missing section appended", u"[CURRENT]\r\nX=1\r\n", u"MOK", u"A", u"1",
       u"[CURRENT]\r\nX=1\r\n[MOK]\r\nA=1\r\n"},
      {"missing file created", u"<none>", u"MOK", u"A", u"値", u"[MOK]\r\nA=値\r\n"},
      {"empty file", u"", u"MOK", u"A", u"1", u"[MOK]\r\nA=1\r\n"},
      {"LF file keeps LF", u"[MOK]\nA=1\n", u"MOK", u"B", u"2", u"[MOK]\nA=1\nB=2\n"},
      {"last line without line ending", u"[MOK]\r\nA=1", u"MOK", u"B", u"2",
       u"[MOK]\r\nA=1\r\nB=2\r\n"},
      {"replaced last line keeps its missing line ending", u"[MOK]\r\nA=1", u"MOK", u"A", u"2",
       u"[MOK]\r\nA=2"},
      {"empty value", u"[MOK]\r\nA=1\r\n", u"MOK", u"A", u"", u"[MOK]\r\nA=\r\n"},
  };
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  for (const auto& c : cases) {
    std::filesystem::remove(std::filesystem::path(file));
    if (c.before != u"<none>")
      WriteText(file, c.before);
    EXPECT_NE(WriteProfileString(file, c.section, c.key, c.value), 0) << c.name;
    EXPECT_EQ(U8(ReadText(file)), U8(c.after)) << c.name;
  }
}

TEST(Profile, RefusedWritesLeaveTheFileAsItWas) {
  struct Case {
    const char* name;
    std::string before;
    std::u16string section, key, value;
  };
  const std::string good = Cp932(u"[MOK]\r\nA=1\r\n");
  const Case cases[] = {
      {"value without CP932 form", good, u"MOK", u"A", u"😀"},
      {"value with a line break would add a line", good, u"MOK", u"A", u"x\r\nDBDIR=evil"},
      {"key with an equals sign", good, u"MOK", u"A=B", u"1"},
      {"empty key", good, u"MOK", u"", u"1"},
      {"section name with a bracket", good, u"M]OK", u"A", u"1"},
      {"file that is not CP932", "[MOK]\r\nA=\x81\r\n", u"MOK", u"B", u"1"},
  };
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  for (const auto& c : cases) {
    WriteBytes(file, c.before);
    EXPECT_EQ(WriteProfileString(file, c.section, c.key, c.value), 0) << c.name;
    EXPECT_EQ(ReadBytes(file), c.before) << c.name;
  }
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"mok.ini"}) << "temporary file left";
}

TEST(Profile, FileThatIsNotCp932ReadsAsDefaults) {
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  WriteBytes(file, "[MOK]\r\nA=1\r\nB=\x81\r\n");
  EXPECT_EQ(U8(ReadProfileString(file, u"MOK", u"A", u"def")), "def");
}

TEST(Profile, WriteIntoAMissingFolderFails) {
  TempFolder folder;
  const std::u16string file = folder.File("no/such/folder/mok.ini");
  EXPECT_EQ(WriteProfileString(file, u"MOK", u"A", u"1"), 0);
}

TEST(Profile, WriteKeepsTheFilePermissions) {
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  WriteText(file, u"[MOK]\r\nA=1\r\n");
  namespace fs = std::filesystem;
  fs::permissions(fs::path(file), fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_NE(WriteProfileString(file, u"MOK", u"A", u"2"), 0);
  EXPECT_EQ(fs::status(fs::path(file)).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST(Profile, ProfileFileSetsManyKeysAndSavesOnce) {
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  ProfileFile profile;
  ASSERT_TRUE(profile.Load(file));
  EXPECT_TRUE(profile.Set(u"MOK", u"A", u"1"));
  EXPECT_TRUE(profile.Set(u"MOK", u"B", u"2"));
  EXPECT_EQ(U8(profile.Get(u"mok", u"b", u"def")), "2");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(file)));  // nothing written yet
  ASSERT_TRUE(profile.Save());
  EXPECT_EQ(U8(ReadText(file)), "[MOK]\r\nA=1\r\nB=2\r\n");
}

}  // namespace
}  // namespace mok
