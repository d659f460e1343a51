// The learning-dictionary editor against a real main database: the search through its boxes,
// the navigation with its completeness check, adding, changing and deleting rows of 学習.
#include "db/address_database.h"
#include "db/learning_dict_sample.h"
#include "ui/learning_dict_window.h"
#include "ui_test_support.h"

namespace mok::test {
namespace {

class LearningDictTest : public WindowTest<ui::LearningDictWindow> {
 protected:
  void SetUp() override {
    AddLearningDictSample(b);
    settings.dbDir = b.Dir();
  }

  void Open(const std::u16string& region = u"東京都") {
    database = std::make_unique<db::AddressDatabase>();
    ASSERT_TRUE(database->Open(b.Dir()).ok());
    window = std::make_unique<ui::LearningDictWindow>(*database, prompter, region);
    window->show();
  }

  // What the window shows of the current record, in one line for readable failures:
  // registered|converted|count|scope|kind|position|count label.
  std::string Shown() {
    const std::string scope = On("optLocalUser")    ? "local:" + Text("cmbDbID")
                              : On("optCommonUser") ? "common"
                                                    : "-";
    const std::string kind = On("optCity") ? "city" : (On("optTown") ? "town" : "-");
    return Text("txtRegister") + "|" + Text("txtTransform") + "|" + Text("txtRefNo") + "|" + scope +
           "|" + kind + "|" + Text("lblRecordNo") + "|" + Text("lblRecordNum");
  }

  Strings Learned() { return LearnedRows(b.Dir()); }

  TestDatabaseBuilder b;
  std::unique_ptr<db::AddressDatabase> database;
};

// The editor opens on the city words of the chosen region, or on the common ones without a
// region; the search boxes and the moves then walk any part of the dictionary.
TEST_F(LearningDictTest, SearchThroughTheBoxesAndNavigation) {
  Open();
  EXPECT_TRUE(Get("cmbSearchDbID")->isEnabled());
  EXPECT_EQ(Shown(), "渋谷|渋谷区|5|local:東京都|city|No. 1|2 件");
  Press("cmdNext");
  EXPECT_EQ(Shown(), "O'Hare|オヘア|0|local:東京都|city|No. 2|2 件");
  Open(u"");
  EXPECT_FALSE(Get("cmbSearchDbID")->isEnabled());
  EXPECT_EQ(Shown(), "札幌|札幌市|50|common|city|No. 1|2 件");
  Press("cmdLast");
  EXPECT_EQ(Shown(), "50%|五十|0|common|city|No. 2|2 件");

  Press("chkLocalUser");
  EXPECT_FALSE(On("chkCommonUser"));
  Press("chkCommonUser");
  EXPECT_FALSE(On("chkLocalUser"));
  Press("chkCommonUser", "chkSearchTown", "optSearchTran");  // any scope, both kinds
  Type("txtKeyWord", QStringLiteral("札幌"));
  Press("cmdSearch", "cmdNext");
  EXPECT_EQ(Shown(), "中央|札幌市中央区|0|local:北海道|city|No. 2|3 件");
  Press("cmdNext");
  EXPECT_EQ(Shown(), "大通|札幌大通|0|common|town|No. 3|3 件");

  Type("txtKeyWord", "");
  Press("cmdSearch", "cmdLast", "cmdNext");  // already at the last record
  EXPECT_EQ(Shown(), "50%|五十|0|common|city|No. 7|7 件");
  Press("cmdPrev");
  EXPECT_EQ(Shown(), "O'Hare|オヘア|0|local:東京都|city|No. 6|7 件");
  Press("cmdFirst", "cmdPrev", "cmdNext");  // already at the first record
  EXPECT_EQ(Shown(), "はち山|鉢山|0|local:東京都|town|No. 2|7 件");
  EXPECT_EQ(Messages(), Strings{});
}

TEST_F(LearningDictTest, IncompleteRecordsHoldTheNavigation) {
  // A stored record without its converted word holds it silently until the word is typed.
  b.AddLearned(13, 2, u"しぶや", std::nullopt, 0);
  Open();
  Press("cmdLast", "cmdFirst", "cmdPrev");
  EXPECT_EQ(Shown(), "しぶや||0|local:東京都|city|No. 3|3 件");
  EXPECT_EQ(Messages(), Strings{});
  Type("txtTransform", QStringLiteral("渋谷区"));
  Press("cmdFirst");
  EXPECT_EQ(Learned().back(), "13|2|しぶや|渋谷区|0");

  // An added record holds it (and a search) with a message until all its fields are set;
  // closing the window in between stores nothing.
  Press("cmdNew", "cmdNext", "cmdSearch");
  EXPECT_EQ(Messages(), Strings(2, "追加レコードの全項目を設定して下さい。"));
  EXPECT_EQ(Shown(), "||1|common|city|No. 4|4 件");
  Type("txtRegister", QStringLiteral("しぶや区"));
  Press("cmdExit");
  EXPECT_EQ(Learned().size(), 8u);
  window->show();
  Type("txtTransform", QStringLiteral("渋谷区"));
  Press("optLocalUser");
  Get<QComboBox>("cmbDbID")->setCurrentIndex(1);
  Press("cmdFirst", "cmdLast");
  EXPECT_EQ(Learned().back(), "13|2|しぶや区|渋谷区|1");
  EXPECT_EQ(Shown(), "しぶや区|渋谷区|1|local:東京都|city|No. 4|4 件");
}

TEST_F(LearningDictTest, DeletingAsksAndMovesToTheNextOrTheNewLastRecord) {
  Open();
  prompter.answers = {Answer::Cancel};
  Press("chkSearchTown", "cmdSearch", "cmdLast", "cmdDelete");  // 渋谷, はち山, O'Hare
  EXPECT_EQ(Messages(), Strings{"<O'Hare→オヘア>を学習辞書から削除しますか？"});
  EXPECT_EQ(Learned().size(), 7u) << "kept";
  prompter.Clear();
  Press("cmdDelete");
  EXPECT_EQ(Shown(), "はち山|鉢山|0|local:東京都|town|No. 2|2 件");
  Press("cmdFirst", "cmdDelete");  // the next record takes the position, with its own keys
  EXPECT_EQ(Shown(), "はち山|鉢山|0|local:東京都|town|No. 1|1 件");
  Press("cmdNext");  // stores the shown record as it is
  EXPECT_EQ(Learned(),
            (Strings{"13|3|はち山|鉢山|0", "0|2|札幌|札幌市|50", "1|2|中央|札幌市中央区|0",
                     "0|3|大通|札幌大通|0", "0|2|50%|五十|0"}));
  Press("cmdDelete");  // the only record: the set becomes empty
  EXPECT_EQ(Shown(), "|||local:東京都|town|No. 1|0 件");
  EXPECT_EQ(Messages().size(), 3u) << "a question before each deletion";
  prompter.Clear();
  Press("cmdDelete");  // nothing left to delete
  EXPECT_EQ(Messages(), Strings{"カレント レコードがありません。(3021)"});
  EXPECT_EQ(Learned().size(), 4u);

  // The first word of an empty set can be added at once; an added record deleted again leaves
  // the table as it was.
  Press("cmdNew");
  EXPECT_EQ(Shown(), "||1|common|city|No. 1|1 件");
  Type("txtRegister", QStringLiteral("札幌"));
  Type("txtTransform", QStringLiteral("札幌市"));
  Press("cmdFirst", "cmdNew", "cmdDelete");
  EXPECT_EQ(Learned().size(), 5u);
  EXPECT_EQ(Learned().back(), "0|2|札幌|札幌市|1");
  EXPECT_EQ(Messages().size(), 2u);
}

// Opened on a word just registered, the editor searches its scope and kind and shows its row.
TEST_F(LearningDictTest, OpensOnTheWordJustRegistered) {
  const std::pair<ui::LearnedWord, std::string> cases[] = {
      {{13, engine::WordKind::Town, u"はち山", u"鉢山"},
       "はち山|鉢山|0|local:東京都|town|No. 2|3 件"},
      {{0, engine::WordKind::Town, u"大通", u"札幌大通"}, "大通|札幌大通|0|common|town|No. 2|3 件"},
  };
  for (const auto& [word, shown] : cases) {
    database = std::make_unique<db::AddressDatabase>();
    ASSERT_TRUE(database->Open(b.Dir()).ok());
    window =
        std::make_unique<ui::LearningDictWindow>(*database, prompter, u"東京都", nullptr, word);
    window->show();
    EXPECT_EQ(Shown(), shown);
    EXPECT_EQ(EnglishTexts(window.get()), Strings{});
  }
}

// A changed record is stored when it is left: by a move, a new search, 終了 or Escape. A kind
// outside city and town shows and is stored as town; a count that is no number is refused.
TEST_F(LearningDictTest, ChangesAreStoredWhenTheRecordIsLeft) {
  b.AddLearned(13, 1, u"とうきょう", u"東京", 0);
  const std::pair<const char*, std::function<void(QWidget*)>> leaves[] = {
      {"move", [](QWidget* w) { Click(w, "cmdFirst"); }},
      {"search", [](QWidget* w) { Click(w, "cmdSearch"); }},
      {"exit", [](QWidget* w) { Click(w, "cmdExit"); }},
      {"escape", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }},
  };
  for (const auto& [how, leave] : leaves) {
    SCOPED_TRACE(how);
    TestDatabaseBuilder::Exec(b.Main(),
                              "update 学習 set fld変換字句 = '東京', fldDbNo = 13, "
                              "fldType = 1 where rowid = 8");
    Open();
    Press("chkSearchCity", "cmdSearch", "cmdLast");  // no kind condition
    EXPECT_EQ(Shown(), "とうきょう|東京|0|local:東京都|town|No. 4|4 件");
    Get("txtTransform")->setFocus();
    QTest::keyClicks(Get("txtTransform"), QStringLiteral("X"));
    Press("optCommonUser");
    leave(window.get());
    EXPECT_EQ(Learned().back(), "0|3|とうきょう|東京X|0");
  }
  Open();
  Type("txtRefNo", QStringLiteral("abc"));
  Press("cmdNext");
  EXPECT_EQ(Messages(), Strings{"参照回数には数値を入力して下さい。"});
  EXPECT_EQ(Learned().front(), "13|2|渋谷|渋谷区|5");
}

}  // namespace
}  // namespace mok::test
