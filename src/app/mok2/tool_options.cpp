#include "tool_options.h"

#include <cctype>
#include <cstdio>

namespace mok::app {

namespace {

bool Matches(const OptionRule& rule, std::string_view word) {
  if (rule.name == word)
    return true;
  // A desktop-style letter option is read in either case (-d and -D).
  return rule.desktopStyle && rule.name.size() == 2 && word.size() == 2 && word[0] == '-' &&
         std::tolower(static_cast<unsigned char>(word[1])) == rule.name[1];
}

}  // namespace

std::optional<std::string> ParsedOptions::Value(std::string_view name) const {
  const auto it = values.find(name);
  if (it == values.end())
    return std::nullopt;
  return it->second;
}

std::optional<ParsedOptions> ParseOptions(std::string_view command,
                                          std::span<const OptionRule> options,
                                          const std::vector<std::string>& args) {
  ParsedOptions parsed;
  const std::string prefix = "mok2 " + std::string(command) + ": ";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word == "--") {
      parsed.words.insert(parsed.words.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                          args.end());
      break;
    }
    if (word == "--help" || word == "-h") {
      parsed.help = true;
      continue;
    }
    if (word.size() < 2 || word[0] != '-') {
      parsed.words.push_back(word);
      continue;
    }
    const OptionRule* rule = nullptr;
    for (const OptionRule& candidate : options) {
      if (Matches(candidate, word)) {
        rule = &candidate;
        break;
      }
    }
    if (rule == nullptr) {
      std::fprintf(stderr, "%sunknown option '%s'\n", prefix.c_str(), word.c_str());
      return std::nullopt;
    }
    std::string value;
    if (!rule->valueName.empty()) {
      if (i + 1 < args.size()) {
        value = args[++i];
      } else if (!rule->desktopStyle) {
        std::fprintf(stderr, "%s%s needs a value\n", prefix.c_str(), word.c_str());
        return std::nullopt;
      }
    }
    parsed.values[std::string(rule->name)] = std::move(value);
  }
  return parsed;
}

std::string DescribeOptions(std::span<const OptionRule> options) {
  std::string text;
  for (const OptionRule& rule : options) {
    std::string head = "  " + std::string(rule.name);
    if (!rule.valueName.empty())
      head += " " + std::string(rule.valueName);
    if (head.size() < 21)
      head.resize(21, ' ');
    else
      head += "  ";
    text += head + std::string(rule.help) + "\n";
  }
  return text;
}

}  // namespace mok::app
