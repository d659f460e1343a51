// The correction dialog driven through its controls against a real address database: the
// selection of the wrong word, the corrected address, the check, and the registration of the
// pair in the learning dictionary with its kind and scope.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "engine/recognition/engine_test_db.h"
#include "support/recording_prompter.h"
#include "ui/correction_dialog.h"
#include "ui/dialog_test_support.h"
#include "ui/qt_text.h"

namespace mok::test {
namespace {

using ui::CorrectionDialog;
using ui::Q;

class CorrectionDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.AddTown(u"東京都", u"渋谷区", u"鉢山", {u"1"});
    env.AddTown(u"東京都", u"港区", u"芝公園", {u"1"});
    env.Open();
  }

  std::unique_ptr<CorrectionDialog> Open(const std::u16string& address) {
    auto dialog = std::make_unique<CorrectionDialog>(env.settings, *env.database, *env.recognizer,
                                                     env.prompter, address);
    dialog->show();
    env.prompter.Clear();
    return dialog;
  }

  // Selects `word` (its first occurrence from `from`; nothing for "") in the address box and
  // releases the mouse over it.
  void Select(CorrectionDialog& dialog, const std::u16string& word, int from = 0) {
    auto* box = Control<QLineEdit>(&dialog, "txtAddress");
    box->deselect();
    if (!word.empty()) {
      const int start = box->text().indexOf(Q(word), from);
      ASSERT_GE(start, 0) << U8(word);
      box->setSelection(start, static_cast<int>(word.size()));
    }
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(4, 4));
  }

  // Replaces the new word as an input method commits a typed word.
  void Type(CorrectionDialog& dialog, const std::u16string& word) {
    auto* box = Control<QLineEdit>(&dialog, "txtNewWord");
    box->selectAll();
    box->insert(Q(word));
  }

  void Click(CorrectionDialog& dialog, const char* button) {
    QTest::mouseClick(Control<QPushButton>(&dialog, button), Qt::LeftButton);
  }

  // Selects, types and checks; true when the register button became available.
  bool Correct(CorrectionDialog& dialog, const std::u16string& word,
               const std::u16string& replacement, int from = 0) {
    Select(dialog, word, from);
    Type(dialog, replacement);
    Click(dialog, "cmdCheck");
    return Control<QPushButton>(&dialog, "cmdRegist")->isEnabled();
  }

  QString Corrected(CorrectionDialog& dialog) {
    return Control<QLabel>(&dialog, "lblAddress")->text();
  }

  std::vector<LearnedRow> Learned() { return ReadLearnedRows(env.b.Dir()); }

  EngineDatabase env;
};

TEST_F(CorrectionDialogTest, OpensOnTheAddressWithLocalScopeAndNoRegistration) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("MOK 辞書編集ツール"));
  EXPECT_EQ(Control<QLineEdit>(dialog.get(), "txtNewWord")->text(), QStringLiteral("変換後の語句"));
  EXPECT_EQ(Control<QLineEdit>(dialog.get(), "txtAddress")->text(),
            QStringLiteral("東京都渋谷区はち山1-1"));
  EXPECT_TRUE(Control<QRadioButton>(dialog.get(), "optLocalWord")->isChecked());
  EXPECT_FALSE(Control<QRadioButton>(dialog.get(), "optCommonWord")->isChecked());
  EXPECT_FALSE(Control<QPushButton>(dialog.get(), "cmdRegist")->isEnabled());
}

TEST_F(CorrectionDialogTest, CorrectedAddressReplacesTheFirstOccurrence) {
  struct Case {
    std::u16string address, word;
    int from;
    std::u16string replacement, expected;
  };
  const Case cases[] = {
      {u"東京都渋谷区はち山1-1", u"はち山", 0, u"鉢山", u"東京都渋谷区鉢山1-1"},
      // The first occurrence is replaced, whichever one was selected, ignoring kana type and
      // width.
      {u"東京都港区港南港南1", u"港南", 7, u"芝浦", u"東京都港区芝浦港南1"},
      {u"東京都港区ハチはち1", u"はち", 0, u"鉢", u"東京都港区鉢はち1"},
      {u"東京都港区ＡＢＣabc", u"abc", 0, u"芝", u"東京都港区芝abc"},
      // A word at the very end leaves nothing after it.
      {u"東京都港区芝公園", u"芝公園", 0, u"芝", u"東京都港区芝"},
      // Nothing selected: the new word goes in front of the whole address.
      {u"東京都港区1", u"", 0, u"X", u"X東京都港区1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(U8(c.address) + " / " + U8(c.word));
    auto dialog = Open(c.address);
    Correct(*dialog, c.word, c.replacement, c.from);
    EXPECT_EQ(Corrected(*dialog), Q(c.expected));
  }
}

TEST_F(CorrectionDialogTest, WrongTownCorrectedCheckedAndRegistered) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  Select(*dialog, u"はち山");
  EXPECT_EQ(Control<QLabel>(dialog.get(), "lblOldWord")->text(), QStringLiteral("はち山"));
  auto* newWord = Control<QLineEdit>(dialog.get(), "txtNewWord");
  EXPECT_EQ(newWord->text(), QStringLiteral("はち山"));
  EXPECT_EQ(newWord->selectedText(), QStringLiteral("はち山")) << "ready to be overtyped";

  Type(*dialog, u"鉢山");
  auto* regist = Control<QPushButton>(dialog.get(), "cmdRegist");
  EXPECT_FALSE(regist->isEnabled());
  Click(*dialog, "cmdCheck");
  EXPECT_EQ(Corrected(*dialog), QStringLiteral("東京都渋谷区鉢山1-1"));
  EXPECT_EQ(env.prompter.Texts(), std::vector<std::string>{"修正結果が住所データに一致しました。"});
  ASSERT_TRUE(regist->isEnabled());

  env.prompter.Clear();
  Click(*dialog, "cmdRegist");
  ASSERT_EQ(env.prompter.records.size(), 2u) << ::testing::PrintToString(env.prompter.Texts());
  EXPECT_EQ(env.prompter.records[0].Utf8(), "<はち山→鉢山>をユーザー辞書に登録しますか？");
  EXPECT_EQ(env.prompter.records[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(env.prompter.records[1].Utf8(), "<はち山→鉢山>をユーザー辞書に登録しました。");
  // A town word of the current region.
  EXPECT_EQ(Learned(), (std::vector<LearnedRow>{{kRegionNumber, 3, u"はち山", u"鉢山", 0}}));

  // The next recognition of the failing address applies the learned word.
  std::u16string fields;
  EXPECT_EQ(env.recognizer->RecognizeAddress(u"東京都渋谷区はち山1-1", fields), 0);
}

TEST_F(CorrectionDialogTest, FailedCheckOrChangedWordLeavesRegistrationDisabled) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  EXPECT_FALSE(Correct(*dialog, u"はち山", u"蜂山"));
  EXPECT_EQ(Corrected(*dialog), QStringLiteral("東京都渋谷区蜂山1-1"));
  EXPECT_EQ(env.prompter.Texts(), std::vector<std::string>{"修正結果が住所データに一致しません。"});

  ASSERT_TRUE(Correct(*dialog, u"はち山", u"鉢山"));
  Control<QLineEdit>(dialog.get(), "txtNewWord")->insert(QStringLiteral("町"));
  EXPECT_FALSE(Control<QPushButton>(dialog.get(), "cmdRegist")->isEnabled());
}

TEST_F(CorrectionDialogTest, TypingTheNewWordKeepsTheFocusInItsBox) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  QApplication::setActiveWindow(dialog.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
  Select(*dialog, u"はち山");
  auto* newWord = Control<QLineEdit>(dialog.get(), "txtNewWord");
  EXPECT_TRUE(newWord->hasFocus());
  // Every keystroke changes the box; the focus must stay for the next one.
  QTest::keyClicks(newWord, QStringLiteral("ab"));
  EXPECT_TRUE(newWord->hasFocus());
  EXPECT_EQ(newWord->text(), QStringLiteral("ab"));
  // Enter runs the check.
  QTest::keyClick(newWord, Qt::Key_Return);
  EXPECT_EQ(Corrected(*dialog), QStringLiteral("東京都渋谷区ab1-1"));
}

TEST_F(CorrectionDialogTest, TypingIntoTheAddressIsRefusedAndUndone) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  auto* address = Control<QLineEdit>(dialog.get(), "txtAddress");
  address->setCursorPosition(3);
  QTest::keyClick(address, Qt::Key_X);
  ASSERT_EQ(env.prompter.records.size(), 1u);
  EXPECT_EQ(env.prompter.records[0].Utf8(),
            "選択した語句の修正は、下の編集ボックスで行ってください。");
  EXPECT_EQ(env.prompter.records[0].icon, MessageIcon::Critical);
  EXPECT_EQ(address->text(), QStringLiteral("東京都渋谷区はち山1-1"));
}

TEST_F(CorrectionDialogTest, CancellingTheQuestionRegistersNothing) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  ASSERT_TRUE(Correct(*dialog, u"はち山", u"鉢山"));
  env.prompter.Clear();
  env.prompter.answers.push_back(Answer::Cancel);
  Click(*dialog, "cmdRegist");
  EXPECT_EQ(env.prompter.Texts(),
            std::vector<std::string>{"<はち山→鉢山>をユーザー辞書に登録しますか？"});
  EXPECT_TRUE(Learned().empty());
}

// The kind of the registered word follows the part of the uncorrected address it overlaps.
TEST_F(CorrectionDialogTest, KindOfTheWordFromThePartsOfTheAddress) {
  struct Case {
    std::u16string address, word, replacement;
    int kind;  // 0: "選択が不明です。" and nothing registered
  };
  const Case cases[] = {
      {u"東京都渋谷区鉢山1-1", u"東京", u"東京", 1},
      {u"東京都渋谷区鉢山1-1", u"東京都渋", u"東京都渋", 1},
      {u"東京都渋谷区鉢山1-1", u"渋谷", u"渋谷", 2},
      {u"東京都渋谷区鉢山1-1", u"渋谷区鉢", u"渋谷区鉢", 2},
      {u"東京都渋谷区鉢山1-1", u"山", u"山", 3},
      {u"東京都渋谷区鉢山1-1", u"1-1", u"1-1", 0},
      // An empty word would rewrite every later lookup: never registered.
      {u"東京都渋谷区鉢山1-1", u"", u"", 0},
      // No municipality in the address: its empty part overlaps every word.
      {u"東京都はち山1-1", u"はち山", u"渋谷区鉢山", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(U8(c.address) + " / " + U8(c.word));
    auto dialog = Open(c.address);
    ASSERT_TRUE(Correct(*dialog, c.word, c.replacement));
    env.prompter.Clear();
    Click(*dialog, "cmdRegist");
    const auto rows = Learned();
    if (c.kind == 0) {
      EXPECT_EQ(env.prompter.Texts().back(), "選択が不明です。");
      EXPECT_TRUE(rows.empty());
    } else {
      ASSERT_EQ(rows.size(), 1u);
      EXPECT_EQ(rows[0].type, c.kind);
      EXPECT_EQ(rows[0].registered, c.word);
    }
    TestDatabaseBuilder::Exec(env.b.Main(), "delete from 学習");
  }
}

TEST_F(CorrectionDialogTest, CommonWordHasScopeZeroAndDuplicatesAreRefused) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  Control<QRadioButton>(dialog.get(), "optCommonWord")->click();
  ASSERT_TRUE(Correct(*dialog, u"はち山", u"鉢山"));
  Click(*dialog, "cmdRegist");
  EXPECT_EQ(Learned(), (std::vector<LearnedRow>{{0, 3, u"はち山", u"鉢山", 0}}));

  env.prompter.Clear();
  Click(*dialog, "cmdRegist");
  EXPECT_EQ(env.prompter.Texts(),
            (std::vector<std::string>{"<はち山→鉢山>をユーザー辞書に登録しますか？",
                                      "'はち山' → '鉢山'は既に登録されています。",
                                      "<はち山→鉢山>をユーザー辞書の登録に失敗しました。"}));
  EXPECT_EQ(Learned().size(), 1u);
}

TEST_F(CorrectionDialogTest, ShowingAgainStartsAfresh) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  Control<QRadioButton>(dialog.get(), "optCommonWord")->click();
  ASSERT_TRUE(Correct(*dialog, u"はち山", u"鉢山"));
  dialog->hide();
  dialog->show();
  EXPECT_EQ(Control<QLineEdit>(dialog.get(), "txtAddress")->text(),
            QStringLiteral("東京都渋谷区はち山1-1"));
  EXPECT_TRUE(Control<QRadioButton>(dialog.get(), "optLocalWord")->isChecked());
  EXPECT_FALSE(Control<QPushButton>(dialog.get(), "cmdRegist")->isEnabled());
}

}  // namespace
}  // namespace mok::test
