#include "screenshot_samples.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "db/connection.h"
#include "db/schema.h"
#include "ui/qt_text.h"

namespace mok::screenshots {

void FillCorrectionSample(ui::CorrectionDialog& dialog, const std::u16string& word,
                          const std::u16string& replacement) {
  auto* address = dialog.findChild<QLineEdit*>(QStringLiteral("txtAddress"));
  auto* newWord = dialog.findChild<QLineEdit*>(QStringLiteral("txtNewWord"));
  auto* check = dialog.findChild<QPushButton*>(QStringLiteral("cmdCheck"));
  if (!address || !newWord || !check)
    return;
  const int start = address->text().indexOf(ui::Q(word));
  if (start < 0)
    return;
  address->setSelection(start, static_cast<int>(ui::Q(word).size()));
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(4, 4),
                      address->mapToGlobal(QPointF(4, 4)), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(address, &release);
  newWord->selectAll();
  newWord->insert(ui::Q(replacement));
  check->click();
  // Keep the selection visible in the picture.
  address->setSelection(start, static_cast<int>(ui::Q(word).size()));
}

DbStatus WriteLearningDictSample(const std::u16string& folder) {
  const std::u16string path = folder + u"/mok2.sqlite";
  if (auto existing = db::Connection::Open(path, true))
    return MakeError(path + u": already exists", 0);
  auto created = db::Connection::Create(path);
  if (!created)
    return created.error();
  db::Connection& db = *created;
  if (DbStatus s = db::CreateMainSchema(db); !s)
    return s;

  struct Region {
    const char16_t* name;
    int id;
  };
  for (const Region& r : {Region{u"北海道", 1}, Region{u"東京都", 13}}) {
    auto st = db.Compile("insert into ＤＢ一覧 (fldDbName, fldID) values (?1, ?2)");
    if (!st)
      return st.error();
    st->BindText(1, r.name).BindInt(2, r.id);
    if (DbStatus s = st->Run(); !s)
      return s;
  }
  struct Word {
    int dbNo, type;
    const char16_t* registered;
    const char16_t* converted;
    int count;
  };
  const Word words[] = {
      {13, 2, u"渋谷", u"渋谷区", 12},     {13, 2, u"しぶや区", u"渋谷区", 3},
      {13, 3, u"はち山町", u"鉢山町", 1},  {13, 3, u"霞ヶ関", u"霞が関", 7},
      {0, 2, u"札幌", u"札幌市", 50},      {1, 2, u"中央区北", u"札幌市中央区北", 0},
      {13, 2, u"千代田", u"千代田区", 25},
  };
  for (const Word& w : words) {
    auto st = db.Compile(
        "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数)"
        " values (?1, ?2, ?3, ?4, ?5)");
    if (!st)
      return st.error();
    st->BindInt(1, w.dbNo).BindInt(2, w.type).BindText(3, w.registered);
    st->BindText(4, w.converted).BindInt(5, w.count);
    if (DbStatus s = st->Run(); !s)
      return s;
  }
  return {};
}

}  // namespace mok::screenshots
