// The settings file: the input bytes are the file, and its first line is also a value written
// into it. A value that is accepted reads back as written, also after saving, and leaves the other
// keys as they were; a file that does not load is never written.
#include "fuzz/fuzz_target.h"
#include "startup/profile.h"
#include "startup/settings_file.h"

namespace mok {

MOK_FUZZ_TARGET(settings) {
  const std::u16string file = fuzz::ScratchPath("mok.ini").u16string();
  std::ofstream(std::filesystem::path(file), std::ios::binary) << input;
  const std::u16string text = fuzz::InputText(input);
  const std::u16string value = text.substr(0, text.find(u'\n'));
  const std::u16string expected = value.empty() ? u"-" : value;

  ProfileFile profile, saved;
  const bool loaded = profile.Load(file);
  const std::u16string other = profile.Get(u"CURRENT", u"InputFilePath", u"-");
  if (profile.Set(u"MOK", u"DBDIR", value)) {
    MOK_FUZZ_CHECK(loaded && profile.Get(u"mok", u"dbdir", u"-") == expected);
    MOK_FUZZ_CHECK(profile.Save() && saved.Load(file));
    MOK_FUZZ_CHECK(saved.Get(u"MOK", u"DBDIR", u"-") == expected &&
                   saved.Get(u"CURRENT", u"InputFilePath", u"-") == other);
  } else {
    MOK_FUZZ_CHECK(loaded || !profile.Save());
  }
  Settings settings;
  test::RecordingPrompter prompter;
  LoadSettings(settings, file, prompter);
  LoadCurrentState(file);
  if (const auto number = ParseInt16(value))
    MOK_FUZZ_CHECK(ParseInt16(text::FromUtf8(std::to_string(*number))) == number);
}

}  // namespace mok
