// The language of the line mok2 convert prints at the end of a run: Japanese, the language of
// the run's own messages, unless the terminal's messages locale is English or the plain C/POSIX
// locale, as a script or a system without a Japanese locale has.
//
//   LANG=ja_JP.UTF-8 -> Japanese; LANG unset -> Japanese; LC_ALL=C, LANG=C.UTF-8 or
//   LANG=en_US.UTF-8 -> English; LC_ALL=ja_JP.UTF-8 with LANG=C -> Japanese
#pragma once

namespace mok::app {

enum class SummaryLanguage { Japanese, English };

// From the locale variables as POSIX reads the messages locale: the first one set and not empty
// of LC_ALL, LC_MESSAGES and LANG decides (nullptr: not set).
SummaryLanguage SummaryLanguageOf(const char* lcAll, const char* lcMessages, const char* lang);

// From this process's environment.
SummaryLanguage SummaryLanguageOfEnvironment();

}  // namespace mok::app
