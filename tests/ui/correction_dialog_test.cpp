// The correction dialog driven through its controls against a real address database: the
// selection of the wrong word, the corrected address, the check, and the registration of the
// pair in the learning dictionary with its kind and scope.
#include <QPushButton>
#include <cstdlib>
#include <string>

#include "support/engine_database.h"
#include "ui/correction_dialog.h"
#include "ui/qt_text.h"
#include "ui_test_support.h"

namespace mok::test {
namespace {

using ui::Q;
class CorrectionDialogTest : public WindowTest<ui::CorrectionDialog> {
 protected:
  void SetUp() override {
    env.AddTown(u"東京都", u"渋谷区", u"鉢山", {u"1"});
    env.Open();
  }

  void Open(const std::u16string& address) {
    window = std::make_unique<ui::CorrectionDialog>(env.settings, *env.database, *env.recognizer,
                                                    env.prompter, address);
    window->show();
    env.prompter.Clear();
  }

  // Selects `word` (its first occurrence from `from`; nothing for "") in the address box and
  // releases the mouse over it.
  void Select(const std::u16string& word, int from = 0) {
    auto* box = Get<QLineEdit>("txtAddress");
    box->deselect();
    if (!word.empty())
      box->setSelection(box->text().indexOf(Q(word), from), static_cast<int>(word.size()));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(4, 4));
  }

  // Selects the word, types `replacement` as an input method commits it, and checks.
  void Correct(const std::u16string& word, const std::u16string& replacement, int from = 0) {
    Select(word, from);
    Get<QLineEdit>("txtNewWord")->selectAll();
    Get<QLineEdit>("txtNewWord")->insert(Q(replacement));
    Press("cmdCheck");
  }

  bool CanRegister() { return Get("cmdRegist")->isEnabled(); }
  Strings Learned() { return LearnedRows(env.b.Dir()); }

  EngineDatabase env;
};

// The check shows the first occurrence of the selected word (found ignoring kana type and width,
// whichever occurrence was selected) replaced by the new word.
TEST_F(CorrectionDialogTest, CorrectedAddressReplacesTheFirstOccurrence) {
  const auto corrected = [this](const std::u16string& address, const std::u16string& word,
                                const std::u16string& replacement, int from = 0) {
    Open(address);
    Correct(word, replacement, from);
    return Text("lblOldWord") + " → " + Text("lblAddress");
  };
  EXPECT_EQ(corrected(u"東京都渋谷区はち山1-1", u"はち山", u"鉢山"),
            "はち山 → 東京都渋谷区鉢山1-1");
  EXPECT_EQ(corrected(u"東京都港区港南港南1", u"港南", u"芝浦", 7), "港南 → 東京都港区芝浦港南1");
  EXPECT_EQ(corrected(u"東京都港区ハチはち1", u"はち", u"鉢"), "はち → 東京都港区鉢はち1");
  EXPECT_EQ(corrected(u"東京都港区ＡＢＣabc", u"abc", u"芝"), "abc → 東京都港区芝abc");
  EXPECT_EQ(corrected(u"東京都港区芝公園", u"芝公園", u"芝"), "芝公園 → 東京都港区芝");
  // Nothing selected: the new word goes in front of the whole address.
  EXPECT_EQ(corrected(u"東京都港区1", u"", u"X"), " → X東京都港区1");
}

TEST_F(CorrectionDialogTest, WrongTownCorrectedCheckedAndRegistered) {
  Open(u"東京都渋谷区はち山1-1");
  std::vector<ui::LearnedWord> told;
  window->SetRegisteredHandler([&](const ui::LearnedWord& word) { told.push_back(word); });
  Correct(u"はち山", u"蜂山");
  EXPECT_FALSE(CanRegister());
  // The check's result shows in the dialog, not in one more window over it.
  EXPECT_EQ(Text("lblCheckResult"), "修正結果が住所データに一致しません。");
  Correct(u"はち山", u"鉢山");
  EXPECT_EQ(Text("lblAddress"), "東京都渋谷区鉢山1-1");
  EXPECT_EQ(Text("lblCheckResult"), "修正結果が住所データに一致しました。");
  ASSERT_TRUE(CanRegister());
  env.prompter.answers = {Answer::Cancel, Answer::Ok};
  Press("cmdRegist");
  EXPECT_TRUE(Learned().empty()) << "cancelled";
  Press("cmdRegist");
  EXPECT_EQ(env.prompter.Texts(), (Strings{"<はち山→鉢山>をユーザー辞書に登録しますか？",
                                           "<はち山→鉢山>をユーザー辞書に登録しますか？",
                                           "<はち山→鉢山>をユーザー辞書に登録しました。"}));
  ASSERT_EQ(told.size(), 1u) << "the opener learns what was registered";
  EXPECT_EQ(std::pair(told[0].kind, told[0].scope), std::pair(engine::WordKind::Town, 5));
  // A town word of the current region, which the next recognition of the address applies.
  EXPECT_EQ(Learned(), Strings{"5|3|はち山|鉢山|0"});
  EXPECT_EQ(env.Recognize(u"東京都渋谷区はち山1-1").code, engine::ResultCode::Converted);

  // The same pair again is refused by the dictionary, in one message.
  env.prompter.Clear();
  Press("cmdRegist");
  EXPECT_EQ(env.prompter.Texts(), (Strings{"<はち山→鉢山>をユーザー辞書に登録しますか？",
                                           "「はち山」→「鉢山」は既に登録されています。"}));
  EXPECT_EQ(Learned().size(), 1u);

  // Any change of the new word needs a new check; showing the dialog again starts afresh.
  Get<QLineEdit>("txtNewWord")->insert(QStringLiteral("町"));
  EXPECT_FALSE(CanRegister());
  Press("optCommonWord");
  window->hide();
  window->show();
  EXPECT_TRUE(On("optLocalWord"));
}

// The wrong word is chosen without pixel-exact dragging: a double click takes the part of the
// address under the pointer (or the run of one kind of characters), Shift and the arrows select
// it with the keyboard; Enter presses what has the focus, 辞書登録 once the check succeeded.
TEST_F(CorrectionDialogTest, WordChosenByDoubleClickOrKeyboardAndEnterFollowsTheFocus) {
  Open(u"東京都渋谷区はち山1-1");
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(EnglishTexts(window.get()), Strings{});
  auto* address = Get<QLineEdit>("txtAddress");
  const auto doubleClickAt = [&](int position) {  // on the left half of the character
    QPoint at(0, address->height() / 2);
    while (address->cursorPositionAt(at) < position)
      at.rx()++;
    QTest::mouseDClick(address, Qt::LeftButton, {}, at + QPoint(1, 0));
    return Text("lblOldWord");
  };
  EXPECT_EQ(doubleClickAt(7), "はち山");  // the town part, under ち
  EXPECT_EQ(doubleClickAt(4), "渋谷区");
  EXPECT_EQ(doubleClickAt(9), "1") << "digits outside the parts: their own run";
  EXPECT_TRUE(Get("txtNewWord")->hasFocus());

  address->setFocus();
  address->setCursorPosition(6);
  for (int i = 0; i < 3; ++i)
    QTest::keyClick(address, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(Text("lblOldWord"), "はち山");
  QTest::keyClick(address, Qt::Key_Return);
  auto* newWord = Get<QLineEdit>("txtNewWord");
  EXPECT_TRUE(newWord->hasFocus());
  newWord->insert(QStringLiteral("鉢山"));   // as an input method commits it
  QTest::keyClick(newWord, Qt::Key_Return);  // 確認
  EXPECT_TRUE(Get("cmdRegist")->hasFocus());
  env.prompter.answers = {Answer::Cancel};
  QTest::keyClick(window->focusWidget(), Qt::Key_Return);  // 辞書登録, not 確認 again
  EXPECT_EQ(env.prompter.Texts(), Strings{"<はち山→鉢山>をユーザー辞書に登録しますか？"});
  Get("cmdCancel")->setFocus();
  QTest::keyClick(Get("cmdCancel"), Qt::Key_Return);
  EXPECT_FALSE(window->isVisible()) << "閉じる had the focus";
}

// Under a real X server (the ctest RealX test runs this binary under xvfb-run on xcb), a double
// click made by the X server itself (press, release, press, double click, release) leaves the
// word selected in the address and taken as the word to replace after the last release.
TEST_F(CorrectionDialogTest, DoubleClickUnderXKeepsTheWordAfterTheRelease) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb"))
    GTEST_SKIP() << "needs a real X server";
  Open(u"東京都渋谷区はち山1-1");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  auto* address = Get<QLineEdit>("txtAddress");
  QPoint at(0, address->height() / 2);
  while (address->cursorPositionAt(at) < 7)  // under ち
    at.rx()++;
  const QPoint screen = address->mapToGlobal(at + QPoint(1, 0));
  const std::string command = "xdotool mousemove --sync " + std::to_string(screen.x()) + " " +
                              std::to_string(screen.y()) + " click --repeat 2 --delay 60 1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  QTest::qWait(600);  // every event of the double click, up to the last release
  EXPECT_EQ(Text("lblOldWord"), "はち山");
  EXPECT_EQ(Get<QLineEdit>("txtNewWord")->selectedText(), QStringLiteral("はち山"));
  EXPECT_EQ(address->selectedText(), QStringLiteral("はち山")) << "still selected";
}

TEST_F(CorrectionDialogTest, TypingGoesIntoTheNewWordOnly) {
  Open(u"東京都渋谷区はち山1-1");
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  auto* address = Get<QLineEdit>("txtAddress");
  address->setCursorPosition(3);
  QTest::keyClick(address, Qt::Key_X);  // refused and undone
  EXPECT_EQ(env.prompter.Texts(),
            Strings{"選択した語句の修正は、下の編集ボックスで行ってください。"});
  EXPECT_EQ(env.prompter.records[0].icon, MessageIcon::Critical);
  EXPECT_EQ(TextOf(address), QStringLiteral("東京都渋谷区はち山1-1"));

  Select(u"はち山");
  auto* newWord = Get<QLineEdit>("txtNewWord");
  EXPECT_EQ(newWord->selectedText(), QStringLiteral("はち山")) << "ready to be overtyped";
  QTest::keyClicks(newWord, QStringLiteral("ab"));
  EXPECT_TRUE(newWord->hasFocus());
  QTest::keyClick(newWord, Qt::Key_Return);  // runs the check
  EXPECT_EQ(Text("lblAddress"), "東京都渋谷区ab1-1");
}

// The kind of the registered word follows the part of the uncorrected address it overlaps.
TEST_F(CorrectionDialogTest, KindOfTheWordFromThePartsOfTheAddress) {
  // What registering `word` (replaced by itself or `replacement`) stores, or the last message.
  const auto registered = [this](const std::u16string& address, const std::u16string& word,
                                 const std::u16string& replacement = {}, bool common = false) {
    TestDatabaseBuilder::Exec(env.b.Main(), "delete from 学習");
    Open(address);
    if (common)
      Press("optCommonWord");
    Correct(word, replacement.empty() ? word : replacement);
    EXPECT_TRUE(CanRegister());
    Press("cmdRegist");
    return Learned().empty() ? env.prompter.Texts().back() : Learned().front();
  };
  const std::u16string address = u"東京都渋谷区鉢山1-1";
  EXPECT_EQ(registered(address, u"東京"), "5|1|東京|東京|0");
  EXPECT_EQ(registered(address, u"渋谷"), "5|2|渋谷|渋谷|0");
  // A word over the found municipality and the town is a municipality word that would never
  // apply; nor would 足立区 → 足立区中川… of an address given in two fields (issue 21).
  const std::string never =
      "は市区町村名の範囲を越えているため、辞書の語句として使われることがあり"
      "ません。市区町村名の部分だけを選んで修正して下さい。";
  EXPECT_EQ(registered(address, u"渋谷区鉢"),
            "<渋谷区鉢→渋谷区鉢>は登録できません。「渋谷区鉢」" + never);
  EXPECT_EQ(registered(u"東京都渋谷区", u"渋谷区", u"渋谷区鉢山1-1"),
            "<渋谷区→渋谷区鉢山1-1>は登録できません。「渋谷区鉢山1-1」" + never);
  EXPECT_EQ(registered(address, u"山"), "5|3|山|山|0");
  EXPECT_EQ(registered(address, u"山", u"山", true), "0|3|山|山|0") << "a common word";
  EXPECT_EQ(registered(address, u"1-1"), "選択が不明です。");
  // An empty word would rewrite every later lookup: never registered.
  EXPECT_EQ(registered(address, u""), "選択が不明です。");
  // No municipality in the address: its empty part overlaps every word.
  EXPECT_EQ(registered(u"東京都はち山1-1", u"はち山", u"渋谷区鉢山"), "5|2|はち山|渋谷区鉢山|0");
  // A municipality word registered twice: the first one rewrites the address's municipality, the
  // second is still told apart from an unknown word (issue 23).
  EXPECT_EQ(registered(u"東京都しぶや区鉢山1-1", u"しぶや区", u"渋谷区"), "5|2|しぶや区|渋谷区|0");
  Press("cmdRegist");
  EXPECT_EQ(env.prompter.Texts().back(), "「しぶや区」→「渋谷区」は既に登録されています。");
}

}  // namespace
}  // namespace mok::test
