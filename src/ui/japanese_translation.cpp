#include "ui/japanese_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace mok::ui {

void UseJapaneseDates() {
  const QByteArray all = qgetenv("LC_ALL");
  if (!all.isEmpty()) {
    qputenv("LANG", all);
    qunsetenv("LC_ALL");
  }
  qputenv("LC_TIME", "ja_JP.UTF-8");
}

bool InstallJapaneseTranslation(QCoreApplication& app) {
  // The program is Japanese whatever the user's locale says, and so are the dialogs.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  auto* translator = new QTranslator(&app);
  if (!translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace mok::ui
