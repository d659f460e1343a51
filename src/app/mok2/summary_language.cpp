#include "summary_language.h"

#include <cstdlib>
#include <string_view>

namespace mok::app {

SummaryLanguage SummaryLanguageOf(const char* lcAll, const char* lcMessages, const char* lang) {
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value == nullptr || *value == '\0')
      continue;
    const std::string_view locale(value);
    // The name up to its encoding or modifier: "C" of "C.UTF-8", "en_US" of "en_US.UTF-8".
    const std::string_view name = locale.substr(0, locale.find_first_of(".@"));
    const bool english = name == "C" || name == "POSIX" || name == "en" || name.starts_with("en_");
    return english ? SummaryLanguage::English : SummaryLanguage::Japanese;
  }
  return SummaryLanguage::Japanese;
}

SummaryLanguage SummaryLanguageOfEnvironment() {
  return SummaryLanguageOf(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace mok::app
