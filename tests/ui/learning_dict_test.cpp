// The learning-dictionary editor against a real main database: the search clause, the
// navigation with its completeness check, adding, changing and deleting rows of 学習.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "db/address_database.h"
#include "support/recording_prompter.h"
#include "support/test_database_builder.h"
#include "ui/dialog_test_support.h"
#include "ui/learning_dict_records.h"
#include "ui/learning_dict_window.h"

namespace mok::test {
namespace {

using ui::frmLearningDict;
using ui::KeywordField;
using ui::LearningDictSearch;

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

class LearningDictTest : public ::testing::Test {
 protected:
  void SetUp() override {
    b.AddRegion(u"北海道", 1);
    b.AddRegion(u"東京都", 13);
  }

  // The rows most tests work on, in table order.
  void AddSampleRows() {
    b.AddLearned(13, 2, u"渋谷", u"渋谷区", 5);
    b.AddLearned(13, 3, u"はち山", u"鉢山", 0);
    b.AddLearned(0, 2, u"札幌", u"札幌市", 50);
    b.AddLearned(1, 2, u"中央", u"札幌市中央区", 0);
    b.AddLearned(0, 3, u"大通", u"札幌大通", 0);
    b.AddLearned(13, 2, u"O'Hare", u"オヘア", 0);
    b.AddLearned(0, 2, u"50%", u"五十", 0);
  }

  std::unique_ptr<frmLearningDict> Open(const std::u16string& region) {
    database = std::make_unique<db::AddressDatabase>();
    EXPECT_TRUE(database->Open(b.Dir()).ok());
    auto window = std::make_unique<frmLearningDict>(*database, prompter, region);
    window->show();
    return window;
  }

  template <class T>
  T* C(frmLearningDict& w, const char* name) {
    return Control<T>(&w, name);
  }

  void Click(frmLearningDict& w, const char* button) {
    QTest::mouseClick(C<QPushButton>(w, button), Qt::LeftButton);
  }

  // What the window shows of the current record, in one line for readable failures:
  // registered|converted|count|scope|kind|position|count label.
  std::string Shown(frmLearningDict& w) {
    std::string scope = C<QRadioButton>(w, "optLocalUser")->isChecked()
                            ? "local:" + C<QComboBox>(w, "cmbDbID")->currentText().toStdString()
                        : C<QRadioButton>(w, "optCommonUser")->isChecked() ? "common"
                                                                           : "-";
    std::string kind = C<QRadioButton>(w, "optCity")->isChecked()   ? "city"
                       : C<QRadioButton>(w, "optTown")->isChecked() ? "town"
                                                                    : "-";
    return C<QLineEdit>(w, "txtRegister")->text().toStdString() + "|" +
           C<QLineEdit>(w, "txtTransform")->text().toStdString() + "|" +
           C<QLineEdit>(w, "txtRefNo")->text().toStdString() + "|" + scope + "|" + kind + "|" +
           C<QLabel>(w, "lblRecordNo")->text().toStdString() + "|" +
           C<QLabel>(w, "lblRecordNum")->text().toStdString();
  }

  // The registered words of the whole set, walking it from the first record.
  std::vector<std::string> Walk(frmLearningDict& w) {
    std::vector<std::string> words;
    Click(w, "cmdFirst");
    for (int i = 0; i < w.RecordCount; ++i) {
      words.push_back(C<QLineEdit>(w, "txtRegister")->text().toStdString());
      Click(w, "cmdNext");
    }
    return words;
  }

  std::vector<LearnedRow> Learned() { return ReadLearnedRows(b.Dir()); }

  TestDatabaseBuilder b;
  RecordingPrompter prompter;
  std::unique_ptr<db::AddressDatabase> database;
};

TEST_F(LearningDictTest, SearchSelectsScopeKindAndKeyword) {
  AddSampleRows();
  ui::LearningDictRecords records;
  db::DbError error;
  ASSERT_TRUE(records.Open(b.Dir() + u"/mok2.sqlite", &error)) << U8(error.Text());
  struct Case {
    const char* what;
    LearningDictSearch search;
    std::vector<std::u16string> expected;
  };
  auto S = [](bool common, std::optional<int32_t> region, bool city, bool town,
              std::u16string keyword = u"", KeywordField field = KeywordField::Registered) {
    return LearningDictSearch{common, region, city, town, std::move(keyword), field};
  };
  const Case cases[] = {
      {"common cities", S(true, std::nullopt, true, false), {u"札幌", u"50%"}},
      {"region 13 cities", S(false, 13, true, false), {u"渋谷", u"O'Hare"}},
      {"region 13 both kinds", S(false, 13, true, true), {u"渋谷", u"はち山", u"O'Hare"}},
      {"common wins over a region", S(true, 13, true, false), {u"札幌", u"50%"}},
      {"any scope, towns", S(false, std::nullopt, false, true), {u"はち山", u"大通"}},
      {"unknown region", S(false, 99, true, true), {}},
      {"札幌 in either word",
       S(false, std::nullopt, false, false, u"札幌", KeywordField::Either),
       {u"札幌", u"中央", u"大通"}},
      {"札幌 in the registered word",
       S(false, std::nullopt, false, false, u"札幌", KeywordField::Registered),
       {u"札幌"}},
      {"札幌 in the converted word",
       S(false, std::nullopt, false, false, u"札幌", KeywordField::Converted),
       {u"札幌", u"中央", u"大通"}},
      {"keyword with a quote", S(false, std::nullopt, true, true, u"'"), {u"O'Hare"}},
      {"letter case ignored", S(false, std::nullopt, true, true, u"o'h"), {u"O'Hare"}},
      {"a % is a character, not a wildcard", S(false, std::nullopt, true, true, u"%"), {u"50%"}},
      {"keyword and scope",
       S(true, std::nullopt, true, true, u"札幌", KeywordField::Converted),
       {u"札幌", u"大通"}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(records.Search(c.search, &error)) << c.what << ": " << U8(error.Text());
    std::vector<std::string> actual, expected;
    for (int32_t i = 0; i < records.Count(); ++i) {
      actual.push_back(U8(records.Row(i).registeredWord.value_or(u"<Null>")));
    }
    for (const auto& e : c.expected)
      expected.push_back(U8(e));
    EXPECT_EQ(actual, expected) << c.what;
  }
}

TEST_F(LearningDictTest, ControlsAndCaptions) {
  auto w = Open(u"");
  EXPECT_EQ(w->windowTitle(), QStringLiteral("学習辞書編集"));
  const std::pair<const char*, const char*> buttons[] = {
      {"cmdFirst", "先頭"}, {"cmdPrev", "前"},     {"cmdNext", "次"},     {"cmdLast", "末尾"},
      {"cmdNew", "追加"},   {"cmdDelete", "削除"}, {"cmdSearch", "検索"}, {"cmdExit", "終了"}};
  for (const auto& [name, caption] : buttons) {
    EXPECT_EQ(C<QPushButton>(*w, name)->text().toStdString(), caption) << name;
  }
  const std::pair<const char*, const char*> labels[] = {{"lblRegister", "登録字句"},
                                                        {"lblTransform", "変換字句"},
                                                        {"lblRefNo", "参照回数"},
                                                        {"lblKeyWord", "キーワード"}};
  for (const auto& [name, caption] : labels) {
    EXPECT_EQ(C<QLabel>(*w, name)->text().toStdString(), caption) << name;
  }
  const std::pair<const char*, const char*> frames[] = {
      {"frmUserType", "ユーザー"}, {"frmTypeOpt", "区分"},    {"frmSearch", "検索"},
      {"frmWord", "字句"},         {"frmSerachType", "区分"}, {"frmSearchUser", "ユーザー"}};
  for (const auto& [name, caption] : frames) {
    EXPECT_EQ(C<QGroupBox>(*w, name)->title().toStdString(), caption) << name;
  }
  const std::pair<const char*, const char*> options[] = {
      {"optLocalUser", "ローカル"}, {"optCommonUser", "共通"},    {"optCity", "市区町村"},
      {"optTown", "大字・町丁目"},  {"optSearchReg", "登録字句"}, {"optSearchTran", "変換字句"}};
  for (const auto& [name, caption] : options) {
    EXPECT_EQ(C<QRadioButton>(*w, name)->text().toStdString(), caption) << name;
  }
  const std::pair<const char*, const char*> checks[] = {{"chkSearchCity", "市区町村"},
                                                        {"chkSearchTown", "大字・町丁目"},
                                                        {"chkLocalUser", "ローカル"},
                                                        {"chkCommonUser", "共通"}};
  for (const auto& [name, caption] : checks) {
    EXPECT_EQ(C<QCheckBox>(*w, name)->text().toStdString(), caption) << name;
  }
  EXPECT_EQ(C<QComboBox>(*w, "cmbDbID")->count(), 2);
  EXPECT_EQ(C<QComboBox>(*w, "cmbSearchDbID")->itemText(1), QStringLiteral("東京都"));
  EXPECT_EQ(w->RegionIds, (std::vector<std::u16string>{u"1", u"13"}));
}

TEST_F(LearningDictTest, OpensOnTheChosenRegionsCityWords) {
  AddSampleRows();
  auto w = Open(u"東京都");
  EXPECT_TRUE(C<QCheckBox>(*w, "chkLocalUser")->isChecked());
  EXPECT_FALSE(C<QCheckBox>(*w, "chkCommonUser")->isChecked());
  EXPECT_TRUE(C<QComboBox>(*w, "cmbSearchDbID")->isEnabled());
  EXPECT_EQ(C<QComboBox>(*w, "cmbSearchDbID")->currentText(), QStringLiteral("東京都"));
  EXPECT_TRUE(C<QCheckBox>(*w, "chkSearchCity")->isChecked());
  EXPECT_FALSE(C<QCheckBox>(*w, "chkSearchTown")->isChecked());
  EXPECT_TRUE(C<QRadioButton>(*w, "optSearchReg")->isChecked());
  EXPECT_EQ(Shown(*w), "渋谷|渋谷区|5|local:東京都|city|No. 1|2 件");
  EXPECT_EQ(Walk(*w), (std::vector<std::string>{"渋谷", "O'Hare"}));
  EXPECT_TRUE(prompter.records.empty()) << ::testing::PrintToString(prompter.Texts());
}

TEST_F(LearningDictTest, OpensOnCommonWordsWithoutARegion) {
  AddSampleRows();
  auto w = Open(u"");
  EXPECT_TRUE(C<QCheckBox>(*w, "chkCommonUser")->isChecked());
  EXPECT_FALSE(C<QComboBox>(*w, "cmbSearchDbID")->isEnabled());
  EXPECT_EQ(Shown(*w), "札幌|札幌市|50|common|city|No. 1|2 件");
  EXPECT_EQ(Walk(*w), (std::vector<std::string>{"札幌", "50%"}));
}

TEST_F(LearningDictTest, SearchScopeBoxesExcludeEachOther) {
  auto w = Open(u"");
  auto* local = C<QCheckBox>(*w, "chkLocalUser");
  auto* common = C<QCheckBox>(*w, "chkCommonUser");
  auto* combo = C<QComboBox>(*w, "cmbSearchDbID");
  local->click();
  EXPECT_TRUE(local->isChecked());
  EXPECT_FALSE(common->isChecked());
  EXPECT_TRUE(combo->isEnabled());
  common->click();
  EXPECT_FALSE(local->isChecked());
  EXPECT_FALSE(combo->isEnabled());
  common->click();  // both may be cleared: no scope condition
  EXPECT_FALSE(local->isChecked());
  EXPECT_FALSE(common->isChecked());
}

TEST_F(LearningDictTest, KeywordSearchThroughTheWindow) {
  AddSampleRows();
  auto w = Open(u"");
  C<QCheckBox>(*w, "chkCommonUser")->click();  // any scope
  C<QCheckBox>(*w, "chkSearchTown")->click();  // both kinds
  C<QRadioButton>(*w, "optSearchTran")->click();
  C<QLineEdit>(*w, "txtKeyWord")->setText(QStringLiteral("札幌"));
  Click(*w, "cmdSearch");
  EXPECT_EQ(Walk(*w), (std::vector<std::string>{"札幌", "中央", "大通"}));
  EXPECT_EQ(Shown(*w), "大通|札幌大通|0|common|town|No. 3|3 件");
}

TEST_F(LearningDictTest, NavigationMovesAndShowsThePosition) {
  AddSampleRows();
  auto w = Open(u"");
  C<QCheckBox>(*w, "chkCommonUser")->click();
  C<QCheckBox>(*w, "chkSearchTown")->click();
  Click(*w, "cmdSearch");
  ASSERT_EQ(w->RecordCount, 7);
  Click(*w, "cmdLast");
  EXPECT_EQ(Shown(*w), "50%|五十|0|common|city|No. 7|7 件");
  Click(*w, "cmdNext");  // already at the last record
  EXPECT_EQ(w->RecordPos, 6);
  Click(*w, "cmdPrev");
  EXPECT_EQ(Shown(*w), "O'Hare|オヘア|0|local:東京都|city|No. 6|7 件");
  Click(*w, "cmdFirst");
  Click(*w, "cmdPrev");  // already at the first record
  EXPECT_EQ(Shown(*w), "渋谷|渋谷区|5|local:東京都|city|No. 1|7 件");
  Click(*w, "cmdNext");
  EXPECT_EQ(Shown(*w), "はち山|鉢山|0|local:東京都|town|No. 2|7 件");
  EXPECT_TRUE(prompter.records.empty()) << ::testing::PrintToString(prompter.Texts());
}

TEST_F(LearningDictTest, NullConvertedWordHoldsTheNavigationUntilTyped) {
  b.AddLearned(13, 2, u"渋谷", u"渋谷区", 0);
  b.AddLearned(13, 2, u"しぶや", std::nullopt, 0);
  auto w = Open(u"東京都");
  Click(*w, "cmdLast");
  EXPECT_EQ(Shown(*w), "しぶや||0|local:東京都|city|No. 2|2 件");
  for (const char* button : {"cmdFirst", "cmdPrev", "cmdLast", "cmdNext"}) {
    Click(*w, button);
    EXPECT_EQ(w->RecordPos, 1) << button;
  }
  EXPECT_TRUE(prompter.records.empty()) << "the wait is silent";
  C<QLineEdit>(*w, "txtTransform")->setText(QStringLiteral("渋谷区"));
  Click(*w, "cmdFirst");
  EXPECT_EQ(w->RecordPos, 0);
  EXPECT_EQ(Learned()[1], (LearnedRow{13, 2, u"しぶや", u"渋谷区", 0}));
}

TEST_F(LearningDictTest, AddedRecordMustBeCompleteBeforeMoving) {
  AddSampleRows();
  auto w = Open(u"東京都");
  Click(*w, "cmdNew");
  EXPECT_TRUE(w->BlnAdding);
  EXPECT_EQ(Shown(*w), "||1|common|city|No. 3|3 件");
  EXPECT_TRUE(C<QLineEdit>(*w, "txtRegister")->hasFocus() || !w->isActiveWindow());

  Click(*w, "cmdNext");
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"追加レコードの全項目を設定して下さい。"});
  EXPECT_EQ(w->RecordPos, 2);
  prompter.Clear();
  Click(*w, "cmdSearch");  // a search also waits for the added record
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"追加レコードの全項目を設定して下さい。"});
  EXPECT_EQ(w->RecordCount, 3);

  C<QLineEdit>(*w, "txtRegister")->setText(QStringLiteral("しぶや"));
  C<QLineEdit>(*w, "txtTransform")->setText(QStringLiteral("渋谷区"));
  C<QRadioButton>(*w, "optLocalUser")->click();
  C<QComboBox>(*w, "cmbDbID")->setCurrentIndex(1);
  Click(*w, "cmdFirst");
  EXPECT_FALSE(w->BlnAdding);
  EXPECT_EQ(w->RecordPos, 0);
  EXPECT_EQ(Learned().back(), (LearnedRow{13, 2, u"しぶや", u"渋谷区", 1}));
  Click(*w, "cmdLast");
  EXPECT_EQ(Shown(*w), "しぶや|渋谷区|1|local:東京都|city|No. 3|3 件");
}

TEST_F(LearningDictTest, FirstWordOfAnEmptyDictionaryCanBeAdded) {
  auto w = Open(u"");
  EXPECT_EQ(w->RecordCount, 0);
  Click(*w, "cmdNew");
  EXPECT_EQ(Shown(*w), "||1|common|city|No. 1|1 件");
  C<QLineEdit>(*w, "txtRegister")->setText(QStringLiteral("札幌"));
  C<QLineEdit>(*w, "txtTransform")->setText(QStringLiteral("札幌市"));
  Click(*w, "cmdFirst");
  EXPECT_TRUE(prompter.records.empty()) << ::testing::PrintToString(prompter.Texts());
  EXPECT_EQ(Learned(), (std::vector<LearnedRow>{{0, 2, u"札幌", u"札幌市", 1}}));
}

TEST_F(LearningDictTest, DeletingMovesToTheNextOrTheNewLastRecord) {
  AddSampleRows();
  auto w = Open(u"東京都");
  C<QCheckBox>(*w, "chkSearchTown")->click();
  Click(*w, "cmdSearch");
  ASSERT_EQ(w->RecordCount, 3);  // 渋谷, はち山, O'Hare
  Click(*w, "cmdLast");
  Click(*w, "cmdDelete");
  EXPECT_EQ(Shown(*w), "はち山|鉢山|0|local:東京都|town|No. 2|2 件");
  Click(*w, "cmdFirst");
  Click(*w, "cmdDelete");  // the next record takes the position, with its own scope and kind
  EXPECT_EQ(Shown(*w), "はち山|鉢山|0|local:東京都|town|No. 1|1 件");
  Click(*w, "cmdNext");  // stores the shown record as it is
  EXPECT_EQ(Learned(), (std::vector<LearnedRow>{{13, 3, u"はち山", u"鉢山", 0},
                                                {0, 2, u"札幌", u"札幌市", 50},
                                                {1, 2, u"中央", u"札幌市中央区", 0},
                                                {0, 3, u"大通", u"札幌大通", 0},
                                                {0, 2, u"50%", u"五十", 0}}));
  EXPECT_TRUE(prompter.records.empty()) << ::testing::PrintToString(prompter.Texts());

  Click(*w, "cmdDelete");  // the only record: the set becomes empty
  EXPECT_TRUE(prompter.records.empty()) << ::testing::PrintToString(prompter.Texts());
  EXPECT_EQ(Shown(*w), "|||local:東京都|town|No. 1|0 件");
  EXPECT_EQ(Learned().size(), 4u);

  Click(*w, "cmdDelete");  // nothing left to delete
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"カレント レコードがありません。(3021)"});
  EXPECT_EQ(Learned().size(), 4u);
}

TEST_F(LearningDictTest, DeletingTheAddedRecordDropsIt) {
  AddSampleRows();
  auto w = Open(u"東京都");
  Click(*w, "cmdNew");
  Click(*w, "cmdDelete");
  EXPECT_FALSE(w->BlnAdding);
  EXPECT_EQ(w->RecordCount, 2);
  EXPECT_EQ(Learned().size(), 7u);
}

TEST_F(LearningDictTest, PrefectureWordShowsAsTownAndIsStoredAsTown) {
  b.AddLearned(13, 1, u"とうきょう", u"東京", 0);
  b.AddLearned(13, 3, u"はち山", u"鉢山", 0);
  auto w = Open(u"東京都");
  // Kind 1 is neither 2 nor 3: only a search without a kind condition lists it.
  C<QCheckBox>(*w, "chkSearchCity")->click();
  Click(*w, "cmdSearch");
  ASSERT_EQ(w->RecordCount, 2);
  EXPECT_EQ(Shown(*w), "とうきょう|東京|0|local:東京都|town|No. 1|2 件");
  Click(*w, "cmdNext");
  EXPECT_EQ(Learned()[0].type, 3);
}

TEST_F(LearningDictTest, ChangesAreStoredWhenTheRecordIsLeftOrTheWindowCloses) {
  AddSampleRows();
  auto w = Open(u"東京都");
  C<QLineEdit>(*w, "txtTransform")->setText(QStringLiteral("渋谷区役所"));
  C<QRadioButton>(*w, "optCommonUser")->click();
  Click(*w, "cmdNext");
  EXPECT_EQ(Learned()[0], (LearnedRow{0, 2, u"渋谷", u"渋谷区役所", 5}));
  auto* count = C<QLineEdit>(*w, "txtRefNo");
  count->selectAll();
  QTest::keyClicks(count, QStringLiteral("7"));
  Click(*w, "cmdExit");
  EXPECT_EQ(Learned()[5], (LearnedRow{13, 2, u"O'Hare", u"オヘア", 7}));
}

TEST_F(LearningDictTest, EscapeKeepsTheTypedWordToo) {
  AddSampleRows();
  auto w = Open(u"東京都");
  auto* converted = C<QLineEdit>(*w, "txtTransform");
  converted->setFocus();
  converted->end(false);
  QTest::keyClicks(converted, QStringLiteral("X"));
  QTest::keyClick(w.get(), Qt::Key_Escape);
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(Learned()[0].converted, u"渋谷区X");
}

TEST_F(LearningDictTest, ClosingWithAnIncompleteAddedRecordStoresNothing) {
  AddSampleRows();
  auto w = Open(u"東京都");
  Click(*w, "cmdNew");
  C<QLineEdit>(*w, "txtRegister")->setText(QStringLiteral("しぶや"));
  Click(*w, "cmdExit");
  EXPECT_EQ(Learned().size(), 7u);
}

TEST_F(LearningDictTest, ANewSearchKeepsTheChangedRecordFirst) {
  AddSampleRows();
  auto w = Open(u"東京都");
  auto* converted = C<QLineEdit>(*w, "txtTransform");
  converted->end(false);
  QTest::keyClicks(converted, QStringLiteral("X"));
  Click(*w, "cmdSearch");
  EXPECT_EQ(Learned()[0].converted, u"渋谷区X");
  EXPECT_EQ(Shown(*w), "渋谷|渋谷区X|5|local:東京都|city|No. 1|2 件");
}

TEST_F(LearningDictTest, ReferenceCountMustBeANumber) {
  AddSampleRows();
  auto w = Open(u"東京都");
  C<QLineEdit>(*w, "txtRefNo")->setText(QStringLiteral("abc"));
  Click(*w, "cmdNext");
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"参照回数には数値を入力して下さい。"});
  EXPECT_EQ(w->RecordPos, 0);
  EXPECT_EQ(Learned()[0].count, 5);
}

}  // namespace
}  // namespace mok::test
