// Qt's own Japanese translations (the qt6-translations-l10n package), so that the standard
// buttons and dialogs of the toolkit speak the program's language: はい/いいえ/キャンセル in the
// message boxes, ファイル名/開く in the file dialog, the context menus of the text boxes.
#pragma once

class QCoreApplication;

namespace mok::ui {

// Loads qtbase_ja from Qt's translations folder and installs it on `app`; false when the
// translation is not installed (the toolkit then stays English).
bool InstallJapaneseTranslation(QCoreApplication& app);

}  // namespace mok::ui
