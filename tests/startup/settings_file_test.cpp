#include "startup/settings_file.h"

#include <gtest/gtest.h>

#include "startup/profile.h"
#include "startup_test_util.h"
#include "support/recording_prompter.h"

namespace mok {
namespace {

using test::ReadText;
using test::RecordingPrompter;
using test::TempFolder;
using test::U8;
using test::WriteText;

// Every field of section "MOK" as text, so that one table compares them all.
std::vector<std::pair<std::string, std::string>> Fields(const Settings& s) {
  auto i = [](int v) { return std::to_string(v); };
  return {
      {"MapProgram", U8(s.mapProgram)},
      {"TempDir", U8(s.tempDir)},
      {"DbDir", U8(s.dbDir)},
      {"InputDir", U8(s.inputDir)},
      {"OutputDir", U8(s.outputDir)},
      {"Delimiter", U8(s.delimiter)},
      {"NotOverwrite", i(s.notOverwrite)},
      {"UnknownCheck", i(s.unknownCheck)},
      {"UnknownOut", i(s.unknownOut)},
      {"CsvOut", i(s.csvOut)},
      {"TownCombine", i(s.townCombine)},
      {"PrefOut", i(s.prefOut)},
      {"CityOut", i(s.cityOut)},
      {"RemainOut", i(s.remainOut)},
      {"LogOut", i(s.logOut)},
      {"Monitor", i(s.monitor)},
      {"SrcOut", i(s.srcOut)},
      {"CityCodeOut", i(s.cityCodeOut)},
      {"CoordNoOut", i(s.coordNoOut)},
      {"XYOut", i(s.xyOut)},
      {"LatLonOut", i(s.latLonOut)},
      {"MeshCodeOut", i(s.meshCodeOut)},
      {"AddLine", i(s.addLine)},
      {"CompleteMatch", i(s.completeMatch)},
      {"FixedTerms", i(static_cast<int>(s.fixedTerms.size()))},
  };
}

// A record whose every field differs from its default, to see that loading replaces them all.
Settings Scribbled() {
  Settings s;
  s.mapProgram = s.tempDir = s.dbDir = s.inputDir = s.outputDir = s.delimiter = u"junk";
  s.notOverwrite = s.unknownCheck = s.unknownOut = s.prefOut = s.cityOut = s.remainOut = s.logOut =
      s.completeMatch = true;
  s.monitor = s.srcOut = s.cityCodeOut = s.coordNoOut = s.xyOut = s.latLonOut = s.meshCodeOut =
      s.csvOut = s.townCombine = false;
  s.addLine = 7;
  s.fixedTerms = {{3, u"junk"}};
  return s;
}

TEST(SettingsFile, MissingKeysTakeTheirDefaults) {
  // The table of defaults, field by field.
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"MapProgram", ""},    {"TempDir", ""},       {"DbDir", "D:\\地図データ"},
      {"InputDir", ""},      {"OutputDir", ""},     {"Delimiter", ","},
      {"NotOverwrite", "0"}, {"UnknownCheck", "0"}, {"UnknownOut", "0"},
      {"CsvOut", "1"},       {"TownCombine", "1"},  {"PrefOut", "0"},
      {"CityOut", "0"},      {"RemainOut", "0"},    {"LogOut", "0"},
      {"Monitor", "1"},      {"SrcOut", "1"},       {"CityCodeOut", "1"},
      {"CoordNoOut", "1"},   {"XYOut", "1"},        {"LatLonOut", "1"},
      {"MeshCodeOut", "1"},  {"AddLine", "1"},      {"CompleteMatch", "0"},
      {"FixedTerms", "0"},
  };
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  WriteText(file, u"[MOK]\r\nDBDIR=D:\\地図データ\r\n");
  Settings s = Scribbled();
  RecordingPrompter prompter;
  LoadSettings(s, file, prompter);
  const auto actual = Fields(s);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t k = 0; k < actual.size(); ++k) {
    EXPECT_EQ(actual[k], expected[k]) << "field " << expected[k].first;
  }
  EXPECT_TRUE(prompter.records.empty());

  // No file at all: the same defaults, DbDir "".
  LoadSettings(s, folder.File("none.ini"), prompter);
  EXPECT_EQ(U8(s.dbDir), "");
  EXPECT_EQ(U8(s.delimiter), ",");
  EXPECT_TRUE(prompter.records.empty());
}

TEST(SettingsFile, NumbersAndFlagsAreReadAsTheyAreStored) {
  struct Case {
    std::u16string key, stored;
    std::string field, expected;
  };
  const Case cases[] = {
      {u"CSVOUT", u"2", "CsvOut", "0"},  // only 1 is true
      {u"CSVOUT", u"0", "CsvOut", "0"},
      {u"CSVOUT", u"1", "CsvOut", "1"},
      {u"CSVOUT", u"-1", "CsvOut", "0"},
      {u"TOWNCONBINE", u"2", "TownCombine", "0"},
      {u"TOWNCONBINE", u"x", "TownCombine", "1"},  // not a number: the default
      {u"PREF", u"-5", "PrefOut", "0"},
      {u"PREF", u" 1 ", "PrefOut", "1"},
      {u"PREF", u"+1", "PrefOut", "1"},
      {u"PREF", u"１", "PrefOut", "1"},
      {u"MONITOR", u"32767", "Monitor", "0"},
      {u"MONITOR", u"-32768", "Monitor", "0"},
      {u"MONITOR", u"32768", "Monitor", "1"},  // beyond 16 bits: the default
      {u"MONITOR", u"-32769", "Monitor", "1"},
      {u"MONITOR", u"99999999999999999999", "Monitor", "1"},
      {u"MONITOR", u"1.5", "Monitor", "1"},
      {u"MONITOR", u"abc", "Monitor", "1"},
      {u"MONITOR", u"-", "Monitor", "1"},
      {u"ADDLINE", u"3", "AddLine", "3"},
      {u"COMPLETEMATCH", u"1", "CompleteMatch", "1"},
      {u"DELIMITER", u" , ", "Delimiter", ","},
      {u"DELIMITER", u"\t", "Delimiter", ","},  // blank value: the default
      {u"dbdir", u"/data", "DbDir", "/data"},
  };
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  for (const auto& c : cases) {
    WriteText(file, u"[MOK]\r\n" + c.key + u"=" + c.stored + u"\r\n");
    Settings s;
    RecordingPrompter prompter;
    LoadSettings(s, file, prompter);
    std::string actual = "<no field>";
    for (const auto& [name, value] : Fields(s)) {
      if (name == c.field)
        actual = value;
    }
    EXPECT_EQ(actual, c.expected) << U8(c.key) << "=" << U8(c.stored);
  }
}

TEST(SettingsFile, FixedNames) {
  struct Case {
    const char* name;
    std::u16string entries;
    std::vector<std::pair<int, std::string>> expected;
    bool message;
  };
  const Case cases[] = {
      {"two entries",
       u"FIXEDTERM_0001=3,霞が関\r\nFIXEDTERM_0002=1,大手町\r\n",
       {{3, "霞が関"}, {1, "大手町"}},
       false},
      {"a gap ends the list",
       u"FIXEDTERM_0001=3,霞が関\r\nFIXEDTERM_0003=3,x\r\n",
       {{3, "霞が関"}},
       false},
      {"no first entry", u"FIXEDTERM_0002=3,x\r\n", {}, false},
      {"no comma", u"FIXEDTERM_0001=霞が関\r\n", {}, true},
      {"no comma after a good entry",
       u"FIXEDTERM_0001=3,a\r\nFIXEDTERM_0002=b\r\n",
       {{3, "a"}},
       true},
      {"extra pieces are ignored", u"FIXEDTERM_0001=3,霞が関,extra\r\n", {{3, "霞が関"}}, false},
      {"empty term", u"FIXEDTERM_0001=3,\r\n", {{3, ""}}, false},
      {"code that is not a number", u"FIXEDTERM_0001=x,霞が関\r\n", {}, true},
      {"key in lower case, blanks around",
       u"fixedterm_0001 =  3,霞が関  \r\n",
       {{3, "霞が関"}},
       false},
      {"three-digit number is another key", u"FIXEDTERM_001=3,x\r\n", {}, false},
  };
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  for (const auto& c : cases) {
    WriteText(file, u"[MOK]\r\n" + c.entries);
    Settings s = Scribbled();
    RecordingPrompter prompter;
    LoadSettings(s, file, prompter);
    std::vector<std::pair<int, std::string>> actual;
    for (const auto& t : s.fixedTerms)
      actual.emplace_back(t.code, U8(t.term));
    EXPECT_EQ(actual, c.expected) << c.name;
    if (c.message) {
      ASSERT_EQ(prompter.records.size(), 1u) << c.name;
      EXPECT_EQ(prompter.Texts()[0], "システム固定名称の読み込みに失敗しました。") << c.name;
      EXPECT_EQ(U8(prompter.records[0].title), "MOK住所変換") << c.name;
      EXPECT_EQ(prompter.records[0].buttons, MessageButtons::Ok) << c.name;
    } else {
      EXPECT_TRUE(prompter.records.empty()) << c.name;
    }
    EXPECT_EQ(s.completeMatch, 0) << c.name << ": keys after the fixed names are still read";
  }
}

TEST(SettingsFile, AtMostOneHundredFixedNames) {
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  std::u16string content = u"[MOK]\r\n";
  for (int n = 1; n <= 101; ++n)
    content += FixedTermKey(n) + u"=3,t\r\n";
  WriteText(file, content);
  Settings s;
  RecordingPrompter prompter;
  LoadSettings(s, file, prompter);
  EXPECT_EQ(s.fixedTerms.size(), 100u);
  EXPECT_EQ(U8(FixedTermKey(7)), "FIXEDTERM_0007");
  EXPECT_EQ(U8(FixedTermKey(100)), "FIXEDTERM_0100");
}

TEST(SettingsFile, SaveWritesTheSavedKeysInOrder) {
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  WriteText(file, u"[MOK]\r\nVELMORA=map.exe\r\nFIXEDTERM_0001=3,霞が関\r\n");
  Settings s;
  s.dbDir = u"/data/住所";
  s.csvOut = false;
  s.prefOut = true;
  s.mapProgram = u"changed";  // never written
  s.tempDir = u"changed";
  s.addLine = 9;
  ASSERT_TRUE(SaveSettings(s, file));
  EXPECT_EQ(U8(ReadText(file)),
            "[MOK]\r\nVELMORA=map.exe\r\nFIXEDTERM_0001=3,霞が関\r\n"
            "DBDIR=/data/住所\r\nINPUTDIR=\r\nOUTPUTDIR=\r\nDELIMITER=,\r\nNOTOVERWRITE=0\r\n"
            "UNKNOWN=0\r\nUNKNOWNOUT=0\r\nCSVOUT=0\r\nTOWNCONBINE=1\r\nPREF=1\r\nCITY=0\r\n"
            "REMAIN=0\r\nLOG=0\r\nMONITOR=1\r\nSRCOUT=1\r\nCITYCODE=1\r\nCOORDNO=1\r\n"
            "XYCOORD=1\r\nLATITUDE=1\r\nMESHCODE=1\r\nCOMPLETEMATCH=0\r\n");
}

TEST(SettingsFile, FlagStoredAsTwoKeepsItsTextUntilItChanges) {
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  WriteText(file, u"[MOK]\r\nCSVOUT=2\r\n");
  Settings s;
  RecordingPrompter prompter;
  LoadSettings(s, file, prompter);
  EXPECT_FALSE(s.csvOut);
  ASSERT_TRUE(SaveSettings(s, file));
  EXPECT_EQ(U8(ReadProfileString(file, u"MOK", u"CSVOUT", u"")), "2");
  s.csvOut = true;
  ASSERT_TRUE(SaveSettings(s, file));
  EXPECT_EQ(U8(ReadProfileString(file, u"MOK", u"CSVOUT", u"")), "1");
}

TEST(SettingsFile, SaveThenLoadGivesTheSameRecord) {
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  Settings s = Scribbled();
  s.mapProgram = s.tempDir = u"";  // not saved
  s.addLine = 1;
  s.fixedTerms.clear();
  ASSERT_TRUE(SaveSettings(s, file));
  Settings loaded;
  RecordingPrompter prompter;
  LoadSettings(loaded, file, prompter);
  EXPECT_EQ(Fields(loaded), Fields(s));
}

TEST(SettingsFile, WriteSettingWritesOneKeyOfSectionMok) {
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  WriteText(file, u"[CURRENT]\r\nStartRow=3\r\n[MOK]\r\nINPUTDIR=old\r\n");
  EXPECT_TRUE(WriteSetting(file, u"INPUTDIR", u"/home/入力"));
  EXPECT_TRUE(WriteSetting(file, u"OUTPUTDIR", u"/home/出力"));
  EXPECT_EQ(U8(ReadText(file)),
            "[CURRENT]\r\nStartRow=3\r\n[MOK]\r\nINPUTDIR=/home/入力\r\nOUTPUTDIR=/home/出力\r\n");
  EXPECT_FALSE(WriteSetting(file, u"INPUTDIR", u"😀"));
}

TEST(SettingsFile, CurrentState) {
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  WriteText(file, u"[CURRENT]\r\nInputFilePath=/in/住所.csv\r\nSELECTPREF=東京都\r\n");
  CurrentState state = LoadCurrentState(file);
  EXPECT_EQ(U8(state.inputFilePath), "/in/住所.csv");
  EXPECT_EQ(U8(state.outputFilePath), "");
  EXPECT_EQ(U8(state.selectPref), "東京都");
  EXPECT_EQ(U8(state.startRow), "2");  // missing: the start row box shows 2
  EXPECT_EQ(U8(state.adrField1), "1");

  state.outputFilePath = u"/out/結果.csv";
  state.startRow = u"5";
  ASSERT_TRUE(SaveCurrentState(file, state));
  EXPECT_EQ(U8(ReadText(file)),
            "[CURRENT]\r\nInputFilePath=/in/住所.csv\r\nSelectPref=東京都\r\n"
            "OutputFilePath=/out/結果.csv\r\nStartRow=5\r\nAdrField1=1\r\n");
  const CurrentState again = LoadCurrentState(file);
  EXPECT_EQ(U8(again.outputFilePath), "/out/結果.csv");
  EXPECT_EQ(U8(again.startRow), "5");

  // No file: every default.
  const CurrentState none = LoadCurrentState(folder.File("none.ini"));
  EXPECT_EQ(U8(none.inputFilePath + none.outputFilePath + none.selectPref), "");
  EXPECT_EQ(U8(none.startRow), "2");
  EXPECT_EQ(U8(none.adrField1), "1");
}

}  // namespace
}  // namespace mok
