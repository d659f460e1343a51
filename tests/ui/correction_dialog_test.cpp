// The correction dialog driven through its controls against a real address database: the
// selection of the wrong word, the corrected address, the check, and the registration of the
// pair in the learning dictionary with its kind and scope.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "support/engine_database.h"
#include "support/recording_prompter.h"
#include "ui/correction_dialog.h"
#include "ui/dialog_test_support.h"
#include "ui/qt_text.h"

namespace mok::test {
namespace {

using ui::frmEdit;
using ui::Q;
using ui::U;

class CorrectionDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.AddTown(u"東京都", u"渋谷区", u"鉢山", {u"1"});
    env.AddTown(u"東京都", u"港区", u"芝公園", {u"1"});
    env.Open();
  }

  std::unique_ptr<frmEdit> Open(const std::u16string& address) {
    auto dialog =
        std::make_unique<frmEdit>(env.settings, *env.database, *env.recognizer, env.prompter);
    dialog->StrEditAddress = address;
    dialog->show();
    env.prompter.Clear();
    return dialog;
  }

  // Selects `word` (its first occurrence) in the address box and releases the mouse over it.
  void Select(frmEdit& dialog, const std::u16string& word) {
    auto* box = Control<QLineEdit>(&dialog, "txtAddress");
    const int start = box->text().indexOf(Q(word));
    ASSERT_GE(start, 0) << U8(word);
    box->setSelection(start, static_cast<int>(word.size()));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(4, 4));
  }

  // Replaces the new word as an input method commits a typed word.
  void Type(frmEdit& dialog, const std::u16string& word) {
    auto* box = Control<QLineEdit>(&dialog, "txtNewWord");
    box->selectAll();
    box->insert(Q(word));
  }

  std::vector<LearnedRow> Learned() { return ReadLearnedRows(env.b.Dir()); }

  EngineDatabase env;
};

TEST_F(CorrectionDialogTest, ControlsInScreenOrderWithTheirCaptions) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("MOK 辞書編集ツール"));
  struct Expected {
    const char* name;
    const char* caption;
  };
  const Expected labels[] = {{"Label1", "修正する語句をドラッグで選択してください。"},
                             {"lblOldWord", "変換対象の語句"},
                             {"Label3", "→"},
                             {"Label2", "語句を修正してください。"},
                             {"lblAddress", "変換後の表記"}};
  for (const auto& e : labels) {
    auto* label = Control<QLabel>(dialog.get(), e.name);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text().toStdString(), e.caption) << e.name;
  }
  const Expected buttons[] = {
      {"cmdCheck", "確認"}, {"cmdRegist", "辞書登録"}, {"cmdCancel", "閉じる"}};
  for (const auto& e : buttons) {
    auto* button = Control<QPushButton>(dialog.get(), e.name);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text().toStdString(), e.caption) << e.name;
  }
  EXPECT_EQ(Control<QGroupBox>(dialog.get(), "frameWordType")->title(),
            QStringLiteral("語句のタイプ"));
  EXPECT_EQ(Control<QLineEdit>(dialog.get(), "txtNewWord")->text(), QStringLiteral("変換後の語句"));
  EXPECT_EQ(Control<QLineEdit>(dialog.get(), "txtAddress")->text(),
            QStringLiteral("東京都渋谷区はち山1-1"));
  EXPECT_TRUE(Control<QRadioButton>(dialog.get(), "optLocalWord")->isChecked());
  EXPECT_FALSE(Control<QRadioButton>(dialog.get(), "optCommonWord")->isChecked());
  EXPECT_FALSE(Control<QPushButton>(dialog.get(), "cmdRegist")->isEnabled());
  EXPECT_FALSE(dialog->BlnCommonWord);
  EXPECT_TRUE(dialog->BlnLocalWord);
  // Screen order: each control lies below (or right of) the one before it.
  const char* order[] = {"Label1", "txtAddress", "lblOldWord", "Label2", "lblAddress"};
  int lastTop = -1;
  for (const char* name : order) {
    auto* w = Control<QWidget>(dialog.get(), name);
    const int top = w->mapTo(dialog.get(), QPoint(0, 0)).y();
    EXPECT_GT(top, lastTop) << name;
    lastTop = top;
  }
}

TEST_F(CorrectionDialogTest, CorrectedAddressReplacesTheFirstOccurrence) {
  struct Case {
    std::u16string address, oldWord, newWord, expected;
  };
  const Case cases[] = {
      {u"東京都渋谷区はち山1-1", u"はち山", u"鉢山", u"東京都渋谷区鉢山1-1"},
      // The search ignores kana type, case and width.
      {u"東京都渋谷区ハチ山1-1", u"はち山", u"鉢山", u"東京都渋谷区鉢山1-1"},
      {u"東京都港区ＡＢＣ町", u"abc", u"芝", u"東京都港区芝町"},
      // The first occurrence is replaced, whichever one was selected.
      {u"東京都港区港南港南1", u"港南", u"芝浦", u"東京都港区芝浦港南1"},
      // A word at the very end leaves nothing after it.
      {u"東京都港区芝公園", u"芝公園", u"芝", u"東京都港区芝"},
      // Nothing selected: the new word goes in front of the whole address.
      {u"東京都港区1", u"", u"X", u"X東京都港区1"},
      // A word that is not in the address drops nothing of it.
      {u"東京都港区", u"千代田", u"X", u"X東京都港区"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(U8(frmEdit::ReplaceFirstWord(c.address, c.oldWord, c.newWord)), U8(c.expected))
        << U8(c.address) << " / " << U8(c.oldWord) << " -> " << U8(c.newWord);
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
  QTest::mouseClick(Control<QPushButton>(dialog.get(), "cmdCheck"), Qt::LeftButton);
  EXPECT_EQ(Control<QLabel>(dialog.get(), "lblAddress")->text(),
            QStringLiteral("東京都渋谷区鉢山1-1"));
  EXPECT_EQ(env.prompter.Texts(), std::vector<std::string>{"修正結果が住所データに一致しました。"});
  EXPECT_EQ(dialog->StrOldWord, u"はち山");
  EXPECT_EQ(dialog->StrNewWord, u"鉢山");
  ASSERT_TRUE(regist->isEnabled());

  env.prompter.Clear();
  QTest::mouseClick(regist, Qt::LeftButton);
  ASSERT_EQ(env.prompter.records.size(), 2u) << ::testing::PrintToString(env.prompter.Texts());
  EXPECT_EQ(env.prompter.records[0].Utf8(), "<はち山→鉢山>をユーザー辞書に登録しますか？");
  EXPECT_TRUE(env.prompter.records[0].question);
  EXPECT_EQ(env.prompter.records[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(env.prompter.records[1].Utf8(), "<はち山→鉢山>をユーザー辞書に登録しました。");
  // A town word of the current region.
  EXPECT_EQ(Learned(), (std::vector<LearnedRow>{{kRegionNumber, 3, u"はち山", u"鉢山", 0}}));

  // The next recognition of the failing address applies the learned word.
  EXPECT_EQ(env.recognizer->RecognizeAddress(u"東京都渋谷区はち山1-1").code,
            engine::ResultCode::Converted);
}

TEST_F(CorrectionDialogTest, CheckThatFailsLeavesRegistrationDisabled) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  Select(*dialog, u"はち山");
  Type(*dialog, u"蜂山");
  QTest::mouseClick(Control<QPushButton>(dialog.get(), "cmdCheck"), Qt::LeftButton);
  EXPECT_EQ(Control<QLabel>(dialog.get(), "lblAddress")->text(),
            QStringLiteral("東京都渋谷区蜂山1-1"));
  EXPECT_EQ(env.prompter.Texts(), std::vector<std::string>{"修正結果が住所データに一致しません。"});
  EXPECT_FALSE(Control<QPushButton>(dialog.get(), "cmdRegist")->isEnabled());
}

TEST_F(CorrectionDialogTest, AnyChangeOfTheNewWordNeedsANewCheck) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  Select(*dialog, u"はち山");
  Type(*dialog, u"鉢山");
  dialog->cmdCheck_Click();
  auto* regist = Control<QPushButton>(dialog.get(), "cmdRegist");
  ASSERT_TRUE(regist->isEnabled());
  Control<QLineEdit>(dialog.get(), "txtNewWord")->insert(QStringLiteral("町"));
  EXPECT_FALSE(regist->isEnabled());
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
  EXPECT_EQ(Control<QLabel>(dialog.get(), "lblAddress")->text(),
            QStringLiteral("東京都渋谷区ab1-1"));
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
  EXPECT_EQ(dialog->StrEditAddress, u"東京都渋谷区はち山1-1");
}

TEST_F(CorrectionDialogTest, ReleaseWithoutSelectionPutsTheNewWordInFront) {
  auto dialog = Open(u"東京都港区芝公園1");
  auto* address = Control<QLineEdit>(dialog.get(), "txtAddress");
  address->deselect();
  QTest::mouseRelease(address, Qt::LeftButton, {}, QPoint(4, 4));
  EXPECT_EQ(Control<QLabel>(dialog.get(), "lblOldWord")->text(), QString());
  EXPECT_EQ(Control<QLineEdit>(dialog.get(), "txtNewWord")->text(), QString());
  Type(*dialog, u"東京都");
  dialog->cmdCheck_Click();
  EXPECT_EQ(Control<QLabel>(dialog.get(), "lblAddress")->text(),
            QStringLiteral("東京都東京都港区芝公園1"));
}

TEST_F(CorrectionDialogTest, CancellingTheQuestionRegistersNothing) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  Select(*dialog, u"はち山");
  Type(*dialog, u"鉢山");
  dialog->cmdCheck_Click();
  env.prompter.Clear();
  env.prompter.answers.push_back(Answer::Cancel);
  dialog->cmdRegist_Click();
  EXPECT_EQ(env.prompter.Texts(),
            std::vector<std::string>{"<はち山→鉢山>をユーザー辞書に登録しますか？"});
  EXPECT_TRUE(Learned().empty());
}

// The kind of the registered word follows the part of the uncorrected address it overlaps.
TEST_F(CorrectionDialogTest, KindOfTheWordFromThePartsOfTheAddress) {
  struct Case {
    std::u16string address, word;
    int kind;  // 0: "選択が不明です。" and nothing registered
  };
  const Case cases[] = {
      {u"東京都渋谷区はち山1-1", u"東京", 1},
      {u"東京都渋谷区はち山1-1", u"東京都渋", 1},
      {u"東京都渋谷区はち山1-1", u"渋谷", 2},
      {u"東京都渋谷区はち山1-1", u"渋谷区はち", 2},
      {u"東京都渋谷区はち山1-1", u"ち山", 3},
      {u"東京都渋谷区はち山1-1", u"1-1", 0},
      // No municipality in the address: its empty part overlaps every word.
      {u"東京都はち山1-1", u"はち山", 2},
      {u"東京都はち山1-1", u"1-1", 2},
      // Quotes and spaces are cleaned before the split.
      {u"\"東京都 渋谷区 はち山1-1\"", u"はち山", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(U8(c.address) + " / " + U8(c.word));
    auto dialog = Open(c.address);
    Select(*dialog, c.word);
    Type(*dialog, u"語");
    dialog->cmdCheck_Click();
    env.prompter.Clear();
    dialog->cmdRegist_Click();
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

TEST_F(CorrectionDialogTest, EmptyWordIsNeverRegistered) {
  // An empty registered word would be a prefix of every text and rewrite every later lookup.
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  auto* address = Control<QLineEdit>(dialog.get(), "txtAddress");
  address->deselect();
  QTest::mouseRelease(address, Qt::LeftButton, {}, QPoint(4, 4));
  Type(*dialog, u"鉢山");
  dialog->cmdCheck_Click();
  env.prompter.Clear();
  dialog->cmdRegist_Click();
  EXPECT_EQ(env.prompter.Texts().back(), "選択が不明です。");
  EXPECT_TRUE(Learned().empty());
}

TEST_F(CorrectionDialogTest, CommonWordHasScopeZeroAndDuplicatesAreRefused) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  Control<QRadioButton>(dialog.get(), "optCommonWord")->setChecked(true);
  Select(*dialog, u"はち山");
  Type(*dialog, u"鉢山");
  dialog->cmdCheck_Click();
  dialog->cmdRegist_Click();
  EXPECT_EQ(Learned(), (std::vector<LearnedRow>{{0, 3, u"はち山", u"鉢山", 0}}));

  env.prompter.Clear();
  dialog->cmdRegist_Click();
  EXPECT_EQ(env.prompter.Texts(),
            (std::vector<std::string>{"<はち山→鉢山>をユーザー辞書に登録しますか？",
                                      "'はち山' → '鉢山'は既に登録されています。",
                                      "<はち山→鉢山>をユーザー辞書の登録に失敗しました。"}));
  EXPECT_EQ(Learned().size(), 1u);
  // The options are not written back to the public fields.
  EXPECT_FALSE(dialog->BlnCommonWord);
}

TEST_F(CorrectionDialogTest, ShowingAgainStartsAfresh) {
  auto dialog = Open(u"東京都渋谷区はち山1-1");
  Control<QRadioButton>(dialog.get(), "optCommonWord")->setChecked(true);
  Select(*dialog, u"はち山");
  Type(*dialog, u"鉢山");
  dialog->cmdCheck_Click();
  dialog->hide();
  dialog->StrEditAddress = u"東京都港区しば公園1";
  dialog->show();
  EXPECT_EQ(Control<QLineEdit>(dialog.get(), "txtAddress")->text(),
            QStringLiteral("東京都港区しば公園1"));
  EXPECT_TRUE(Control<QRadioButton>(dialog.get(), "optLocalWord")->isChecked());
  EXPECT_FALSE(Control<QPushButton>(dialog.get(), "cmdRegist")->isEnabled());
}

}  // namespace
}  // namespace mok::test
