#include "ui_test_support.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "ui/japanese_translation.h"

namespace mok::test {
namespace {

// One QApplication for the whole test binary, on the offscreen platform unless told otherwise.
class QtEnvironment : public ::testing::Environment {
  void SetUp() override {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    ui::UseJapaneseDates();
    app_ = std::make_unique<QApplication>(argc_, argv_);
    ui::InstallJapaneseTranslation(*app_);
  }
  void TearDown() override { app_.reset(); }

  int argc_ = 1;
  char name_[8] = "test_ui";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

std::vector<std::string> LearnedRows(const std::u16string& dbDir) {
  std::vector<std::string> rows;
  auto db = db::Connection::Open(dbDir + u"/mok2.sqlite", true);
  if (!db) {
    ADD_FAILURE() << text::ToUtf8(db.error().Text());
    return rows;
  }
  auto st = db->Compile(
      "select ifnull(fldDbNo, '-') || '|' || ifnull(fldType, '-') || '|' || "
      "ifnull(fld登録字句, '-') || '|' || ifnull(fld変換字句, '-') || '|' || "
      "ifnull(fld参照回数, '-') from 学習 order by rowid");
  if (!st) {
    ADD_FAILURE() << text::ToUtf8(st.error().Text());
    return rows;
  }
  for (auto more = st->Step(); more && *more; more = st->Step())
    rows.push_back(text::ToUtf8(st->Text(0)));
  return rows;
}

void Click(QWidget* window, const char* button) {
  if (auto* target = Child<QAbstractButton>(window, button))
    QTest::mouseClick(target, Qt::LeftButton);
}

QString TextOf(QWidget* control) {
  if (auto* box = qobject_cast<QLineEdit*>(control))
    return box->text();
  if (auto* combo = qobject_cast<QComboBox*>(control))
    return combo->currentText();
  return qobject_cast<QLabel*>(control)->text();
}

Strings EnglishTexts(QWidget* window) {
  window->grab();  // lays out and paints everything, as a screenshot does
  QStringList texts = {window->windowTitle()};
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window))
      continue;
    if (auto* label = qobject_cast<QLabel*>(w))
      texts << label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
      texts << button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(w))
      texts << frame->title();
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable())
      texts << combo->currentText();
    if (auto* header = qobject_cast<QHeaderView*>(w); header && header->model()) {
      for (int i = 0; i < header->count(); ++i)
        texts << header->model()->headerData(i, header->orientation()).toString();
    }
  }
  static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
  static const QStringList allowed = {"MOK", "MOK2", "OK",  "CSV", "csv", "UTF", "Shift",
                                      "JIS", "CP",   "BOM", "No",  "DB",  "ID"};
  Strings english;
  for (const QString& text : texts) {
    if (text.startsWith('/'))
      continue;  // a path (the file chooser's folder) is no English
    for (auto matches = word.globalMatch(text); matches.hasNext();) {
      if (!allowed.contains(matches.next().captured())) {
        english.push_back(text.toStdString());
        break;
      }
    }
  }
  return english;
}

QString OpenedBy(const std::function<void()>& action, const std::function<void(QWidget*)>& inside) {
  QString opened;
  QWidget* const before = QApplication::activeModalWidget();
  // The first turn of an event loop after `action` began: the new modal window's own, if any.
  QTimer::singleShot(0, [&] {
    QWidget* window = QApplication::activeModalWidget();
    if (!window || window == before)
      return;
    opened = window->objectName();
    if (inside)
      inside(window);
    if (window->isVisible())
      window->close();
  });
  action();
  QCoreApplication::processEvents();  // the check runs here when no window opened
  return opened;
}

}  // namespace mok::test
