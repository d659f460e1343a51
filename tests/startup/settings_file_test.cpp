#include "startup/settings_file.h"

#include <gtest/gtest.h>

#include <optional>

#include "startup/profile.h"
#include "support/recording_prompter.h"
#include "support/temp_folder.h"

namespace mok {
namespace {

using Profile = test::TempFolderTest;

TEST_F(Profile, ReadsValuesAsTheFileHoldsThem) {
  test::WriteCp932(file,
                   u"TOP=1\r\n[MOK]\r\nDBDIR = D:\\地図データ  \r\ndelimiter=\t,\t\r\nEMPTY=\r\n"
                   u"BLANK=   \r\nEQ=a=b\r\nNOEQUALS\r\n  Indented = yes\r\nWIDE=　値　\r\n"
                   u"DBDIR=second\r\nDQ = \"C:\\Program Files\\a.exe\" \r\nSQ='a b'\r\n"
                   u"MIXED=\"abc'\r\n\r\n[ current ]\r\nStartRow=5\r\n[MOK]\r\nLATE=1");
  const auto read = [&](const char16_t* section, const char16_t* key) {
    return ReadProfileString(file, section, key, u"def");
  };
  EXPECT_EQ(read(u"mok", u"dbdir"), u"D:\\地図データ");  // the first one; names in any case
  EXPECT_EQ(read(u"MOK", u"DELIMITER") + read(u"MOK", u"EQ") + read(u"MOK", u"INDENTED"),
            u",a=byes");
  EXPECT_EQ(read(u"MOK", u"EMPTY") + read(u"MOK", u"BLANK") + read(u"MOK", u"NOEQUALS"),
            u"defdefdef");
  // Full-width spaces belong to the value; section names in brackets lose their blanks.
  EXPECT_EQ(read(u"MOK", u"WIDE") + read(u"CURRENT", u"StartRow"), u"　値　5");
  EXPECT_EQ(read(u"MOK", u"DQ") + read(u"MOK", u"SQ") + read(u"MOK", u"MIXED"),
            u"C:\\Program Files\\a.exea b\"abc'");  // quotes go in pairs only
  // A key of another section, before the first one, or in a second section of the same name.
  EXPECT_EQ(read(u"MOK", u"StartRow") + read(u"MOK", u"TOP") + read(u"MOK", u"LATE"), u"defdefdef");
  const auto readA = [&](const std::string& bytes) {
    test::WriteBytes(file, bytes);
    return read(u"MOK", u"A");
  };
  EXPECT_EQ(readA("[MOK]\nA=x\n") + readA("[MOK]\r\nA=x"), u"xx");        // LF; no last line ending
  EXPECT_EQ(readA("") + readA("[MOK]\r\nA=x\r\nB=\x81\r\n"), u"defdef");  // empty; not CP932
  EXPECT_EQ(ReadProfileString(folder.File("none.ini"), u"MOK", u"A", u"def"), u"def");
  // A file another editor saved in UTF-8 (with its mark or without) is read, and written, in
  // UTF-8 (issue 20, fault G10).
  for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
    EXPECT_EQ(readA(mark + "; 設定ファイル（コメント）\r\n[MOK]\r\nA=地図\r\n"), u"地図");
    ASSERT_NE(WriteProfileString(file, u"MOK", u"B", u"値"), 0);
    EXPECT_EQ(test::ReadBytes(file),
              mark + "; 設定ファイル（コメント）\r\n[MOK]\r\nA=地図\r\nB=値\r\n");
  }
  // A value is read into a buffer of 127 bytes: its first 126, without splitting a character.
  using S = std::u16string;
  const auto cut = [&](const S& value) { return readA(test::Cp932(u"[MOK]\r\nA=" + value)); };
  EXPECT_EQ(cut(S(200, u'x')), S(126, u'x'));
  EXPECT_EQ(cut(S(125, u'a') + u"漢字"), S(125, u'a'));
  EXPECT_EQ(cut(S(124, u'a') + u"漢字"), S(124, u'a') + u"漢");
  EXPECT_EQ(cut(S(130, u'ｱ')), S(126, u'ｱ'));               // half-width katakana are one byte
  EXPECT_EQ(cut(S(120, u'x') + u"      y"), S(120, u'x'));  // blanks before the cut go
}

TEST_F(Profile, WriteReplacesOrAddsTheKeyAndKeepsEveryOtherLine) {
  // The file after writing key=value into section MOK of a file holding `before` (none: no
  // file). It is rewritten through a new file renamed over it: nothing else is left.
  const auto written = [&](const std::optional<std::u16string>& before, const char16_t* key,
                           const char16_t* value) {
    std::filesystem::remove(std::filesystem::path(file));
    if (before)
      test::WriteCp932(file, *before);
    EXPECT_NE(WriteProfileString(file, u"MOK", key, value), 0);
    EXPECT_EQ(folder.Count(), 1);
    return test::ReadCp932(file);
  };
  EXPECT_EQ(written(u"[Mok]\r\na=1\r\n[X]\r\nA=1\r\n", u"A", u"2"),
            u"[Mok]\r\nA=2\r\n[X]\r\nA=1\r\n");
  // A new key goes after the last line of its section, before the blank lines that end it.
  EXPECT_EQ(written(u"[MOK]\r\nA=1\r\n; c\r\n\r\n[X]\r\n", u"B", u""),
            u"[MOK]\r\nA=1\r\n; c\r\nB=\r\n\r\n[X]\r\n");
  EXPECT_EQ(written(u"[X]\r\nA=1\r\n", u"A", u"2"), u"[X]\r\nA=1\r\n[MOK]\r\nA=2\r\n");
  EXPECT_EQ(written(std::nullopt, u"A", u"値"), u"[MOK]\r\nA=値\r\n");
  EXPECT_EQ(written(u"[MOK]\nA=1\n", u"B", u"2"), u"[MOK]\nA=1\nB=2\n");  // the file's endings
  EXPECT_EQ(written(u"[MOK]\r\nA=1", u"B", u"2"), u"[MOK]\r\nA=1\r\nB=2\r\n");
  EXPECT_EQ(written(u"[MOK]\r\nA=1", u"A", u"2"), u"[MOK]\r\nA=2");
  // Lines not written keep their bytes (0xED40 decodes to a character written as 0xFA5C), the
  // file keeps its permissions, and a link to it stays a link.
  namespace fs = std::filesystem;
  const fs::path link = folder.path() / "link.ini";
  test::WriteBytes(file, "[MOK]\r\nNEC=\xED\x40\r\nA=1\r\n");
  fs::permissions(fs::path(file), fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(fs::path(file), link);
  ASSERT_NE(WriteProfileString(link.u16string(), u"MOK", u"A", u"2"), 0);
  EXPECT_EQ(test::ReadBytes(file), "[MOK]\r\nNEC=\xED\x40\r\nA=2\r\n");
  EXPECT_EQ(fs::status(fs::path(file)).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_TRUE(fs::is_symlink(link));
  // Refused writes leave the file as it was.
  const auto refused = [&](const char16_t* section, const char16_t* key, const char16_t* value,
                           const std::string& before = "[MOK]\r\nA=1\r\n") {
    test::WriteBytes(file, before);
    return WriteProfileString(file, section, key, value) == 0 && test::ReadBytes(file) == before;
  };
  EXPECT_TRUE(refused(u"MOK", u"A", u"😀") && refused(u"MOK", u"A", u"x\r\nDBDIR=evil"));
  EXPECT_TRUE(refused(u"MOK", u"A=B", u"1") && refused(u"MOK", u" ", u"1"));
  EXPECT_TRUE(refused(u"M]OK", u"A", u"1") && refused(u"MOK", u"B", u"1", "[MOK]\r\nA=\x81"));
  EXPECT_EQ(folder.Count(), 2);
  EXPECT_EQ(WriteProfileString(folder.File("no/folder/mok.ini"), u"MOK", u"A", u"1"), 0);
}

// Every key of section MOK in the order a save writes them (the last three are never saved),
// with its default and another value.
struct Key {
  std::u16string name, byDefault, other;
};
const Key kKeys[] = {
    {u"DBDIR", u"", u"D:\\地図"},  {u"INPUTDIR", u"", u"/in"},    {u"OUTPUTDIR", u"", u"/out"},
    {u"DELIMITER", u",", u";"},    {u"NOTOVERWRITE", u"0", u"1"}, {u"UNKNOWN", u"0", u"1"},
    {u"UNKNOWNOUT", u"0", u"1"},   {u"CSVOUT", u"1", u"0"},       {u"TOWNCONBINE", u"1", u"0"},
    {u"PREF", u"0", u"1"},         {u"CITY", u"0", u"1"},         {u"REMAIN", u"0", u"1"},
    {u"LOG", u"0", u"1"},          {u"MONITOR", u"1", u"0"},      {u"SRCOUT", u"1", u"0"},
    {u"CITYCODE", u"1", u"0"},     {u"COORDNO", u"1", u"0"},      {u"XYCOORD", u"1", u"0"},
    {u"LATITUDE", u"1", u"0"},     {u"MESHCODE", u"1", u"0"},     {u"COMPLETEMATCH", u"0", u"1"},
    {u"VELMORA", u"", u"map.exe"}, {u"TEMPDIR", u"", u"/tmp"},    {u"ADDLINE", u"1", u"3"}};

// The fields of the record in the order of kKeys, flags as 0/1.
std::vector<std::u16string> Fields(const Settings& s) {
  std::vector<std::u16string> out = {s.dbDir, s.inputDir, s.outputDir, s.delimiter};
  for (const bool flag :
       {s.notOverwrite, s.unknownCheck, s.unknownOut, s.csvOut, s.townCombine, s.prefOut, s.cityOut,
        s.remainOut, s.logOut, s.monitor, s.srcOut, s.cityCodeOut, s.coordNoOut, s.xyOut,
        s.latLonOut, s.meshCodeOut, s.completeMatch})
    out.push_back(flag ? u"1" : u"0");
  out.insert(out.end(), {s.mapProgram, s.tempDir, text::FromUtf8(std::to_string(s.addLine))});
  return out;
}

class SettingsFile : public test::TempFolderTest {
 protected:
  // The record loaded over `s` from a file holding `content`.
  Settings Load(const std::u16string& content, Settings s = {}) {
    test::WriteCp932(file, content);
    LoadSettings(s, file, prompter);
    return s;
  }
  test::RecordingPrompter prompter;
};

// A settings file that is neither CP932 nor UTF-8 reads as empty, and the message names it
// (issue 20, fault G10).
TEST_F(SettingsFile, AFileThatIsNotTextIsNamed) {
  test::WriteBytes(file, "[MOK]\r\nDBDIR=\x81\xFF\r\n");
  Settings s;
  LoadSettings(s, file, prompter);
  EXPECT_EQ(s.dbDir, u"");
  EXPECT_NE(prompter.Shown().find(u"でもUTF-8でもありません）。既定の設定で続けます。\r\n" + file),
            std::u16string::npos);
}

// Each key alone fills its own field, and the others take their defaults whatever the record
// held before.
TEST_F(SettingsFile, EveryKeyFillsItsOwnFieldAndMissingOnesTakeTheirDefaults) {
  Settings s;
  for (std::size_t k = 0; k < std::size(kKeys); ++k) {
    s = Load(u"[mok]\r\n" + kKeys[k].name + u"=" + kKeys[k].other, s);
    for (std::size_t f = 0; f < std::size(kKeys); ++f)
      EXPECT_EQ(Fields(s)[f], f == k ? kKeys[f].other : kKeys[f].byDefault) << "key " << k;
  }
}

// A save writes the saved keys in their order. The keys that are never saved stay as they are,
// and so does a flag's stored value that still means the same (another program may have
// written 2 for "not set").
TEST_F(SettingsFile, SaveWritesTheSavedKeysInTheirOrder) {
  std::u16string all, saved;
  for (std::size_t k = 0; k < std::size(kKeys) - 3; ++k) {
    all += kKeys[k].name + u"=" + kKeys[k].other + u"\r\n";
    saved += kKeys[k].name == u"CSVOUT" ? u"" : kKeys[k].name + u"=" + kKeys[k].other + u"\r\n";
  }
  Settings s = Load(u"[MOK]\r\n" + all);
  const std::u16string kept = u"[MOK]\r\nVELMORA=old\r\nCSVOUT=2\r\n";
  test::WriteCp932(file, kept);
  ASSERT_TRUE(SaveSettings(s, file));
  EXPECT_EQ(test::ReadCp932(file), kept + saved);
  s.csvOut = true;
  ASSERT_TRUE(SaveSettings(s, file));
  EXPECT_EQ(ReadProfileString(file, u"MOK", u"CSVOUT", u""), u"1");
}

// The matching mode and the level column are set by 1 only; a save writes them only where the
// file would read otherwise, so that files without the keys stay as they were.
TEST_F(SettingsFile, KeysAddedLaterAreWrittenOnlyWhereTheyChangeTheFile) {
  for (const auto& [key, field] :
       {std::pair(u"MATCHMODE", &Settings::extendedMatch), {u"POSLEVEL", &Settings::levelOut}}) {
    const std::u16string name = key;
    for (const auto& [stored, set] : {std::pair(u"1", true), {u"2", false}, {u"x", false}})
      EXPECT_EQ(Load(u"[MOK]\r\n" + name + u"=" + stored).*field, set) << text::ToUtf8(name);
    Settings s = Load(u"[MOK]\r\nPREF=1\r\n");
    ASSERT_TRUE(SaveSettings(s, file));
    EXPECT_EQ(ReadProfileString(file, u"MOK", name, u"none"), u"none");
    s.*field = true;
    ASSERT_TRUE(SaveSettings(s, file));
    EXPECT_EQ(ReadProfileString(file, u"MOK", name, u""), u"1");
    s.*field = false;
    ASSERT_TRUE(SaveSettings(s, file));
    EXPECT_EQ(ReadProfileString(file, u"MOK", name, u""), u"0");
  }
}

// A flag is set by the number 1 only; a value that is not a 16-bit number leaves the default.
TEST_F(SettingsFile, FlagsAreSetByOneOnly) {
  const Settings s = Load(u"[MOK]\r\nCSVOUT=2\r\nMONITOR=x\r\nPREF=+１\r\nCITY=-1\r\nLOG=65537");
  EXPECT_EQ(std::vector({s.csvOut, s.monitor, s.prefOut, s.cityOut, s.logOut}),
            std::vector({false, true, true, false, false}));
  EXPECT_EQ(ParseInt16(u" 32767 ").value_or(0) + ParseInt16(u"-32768").value_or(0), -1);
  for (const char16_t* bad : {u"32768", u"-32769", u"99999999999999999999", u"1.5", u"-", u""})
    EXPECT_EQ(ParseInt16(bad), std::nullopt) << text::ToUtf8(bad);
}

// Fixed names are numbered from 0001 without gaps; the first missing number ends the list, an
// entry that is not "code,term" ends it with a message.
TEST_F(SettingsFile, FixedNames) {
  Settings s;  // each load replaces the list of the one before
  // The names read from `entries` as "code term ", "!" for the message; the keys after the
  // names are still read.
  const auto terms = [&](const std::u16string& entries) {
    prompter.Clear();
    s = Load(u"[MOK]\r\n" + entries + u"\r\nCOMPLETEMATCH=1", s);
    std::u16string out = s.completeMatch ? u"" : u"COMPLETEMATCH not read ";
    for (const FixedTerm& t : s.fixedTerms)
      out += text::FromUtf8(std::to_string(t.code)) + t.term + u" ";
    const std::u16string shown = prompter.Shown();
    out += shown == u"MOK住所変換: システム固定名称の読み込みに失敗しました。\n" ? u"!" : shown;
    return out;
  };
  EXPECT_EQ(terms(u"FIXEDTERM_0001=3,a\r\nFIXEDTERM_0002=1,b"), u"3a 1b ");
  EXPECT_EQ(terms(u"FIXEDTERM_0001=3,a\r\nFIXEDTERM_0003=3,b"), u"3a ");
  EXPECT_EQ(terms(u"FIXEDTERM_0002=3,b\r\nFIXEDTERM_001=3,b"), u"");
  EXPECT_EQ(terms(u"fixedterm_0001 =  3,霞,x  "), u"3霞 ");  // later pieces are ignored
  EXPECT_EQ(terms(u"FIXEDTERM_0001=3,"), u"3 ");
  EXPECT_EQ(terms(u"FIXEDTERM_0001=3,a\r\nFIXEDTERM_0002=3"), u"3a !");
  EXPECT_EQ(terms(u"FIXEDTERM_0001=x,a\r\nFIXEDTERM_0002=3,b"), u"!");
  std::u16string entries;
  for (int n = 1; n <= 101; ++n)
    entries += FixedTermKey(n) + u"=3,t\r\n";
  terms(entries);
  EXPECT_EQ(s.fixedTerms.size(), 100u);  // at most a hundred
}

// The second address field is stored as ADRFIELD2 (spelled like AdrField1) only when used, so a
// file of one address field is written as before.
TEST_F(SettingsFile, TheLastUsedEntriesAndOneKeyOfSectionMok) {
  const CurrentState none = LoadCurrentState(file);
  EXPECT_EQ(none.startRow + none.adrFields[0] + none.adrFields[1], u"21");
  test::WriteCp932(file,
                   u"[CURRENT]\r\nInputFilePath=/in/住所.csv\r\nSELECTPREF=東京都\r\n"
                   u"AdrField1=3\r\nADRFIELD3=9");
  CurrentState state = LoadCurrentState(file);
  EXPECT_EQ(state.inputFilePath + state.selectPref + state.startRow + state.adrFields[0] +
                state.adrFields[2],
            u"/in/住所.csv東京都239");
  state.outputFilePath = u"/out/結果.csv";
  state.startRow = u"5";
  state.adrFields[1] = u"4";
  state.adrFields[2] = u"";
  ASSERT_TRUE(SaveCurrentState(file, state) && WriteSetting(file, u"INPUTDIR", u"/入力"));
  EXPECT_EQ(test::ReadCp932(file),
            u"[CURRENT]\r\nInputFilePath=/in/住所.csv\r\nSelectPref=東京都\r\nAdrField1=3\r\n"
            u"AdrField3=\r\nOutputFilePath=/out/結果.csv\r\nStartRow=5\r\nAdrField2=4\r\n"
            u"[MOK]\r\nINPUTDIR=/入力\r\n");
}

}  // namespace
}  // namespace mok
