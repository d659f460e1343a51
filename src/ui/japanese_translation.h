// Qt's own Japanese translations (the qt6-translations-l10n package), so that the standard
// buttons and dialogs of the toolkit speak the program's language: はい/いいえ/キャンセル in the
// message boxes, ファイル名/開く in the file dialog, the context menus of the text boxes.
#pragma once

class QCoreApplication;

namespace mok::ui {

// Before the application object is made: the toolkit's system locale takes its dates from
// LC_TIME, which is set to ja_JP.UTF-8, so that the file dialog shows its dates as a Japanese
// desktop does (2026/12/08 15:04). An LC_ALL, which would override it, is moved to LANG, so that
// the other categories keep what it said.
void UseJapaneseDates();

// Loads qtbase_ja from Qt's translations folder and installs it on `app`; false when the
// translation is not installed (the toolkit then stays English).
bool InstallJapaneseTranslation(QCoreApplication& app);

}  // namespace mok::ui
