// mok2: the command-line tool. Builds the address databases (db), recognises single addresses
// (recognize) and runs a whole conversion without windows (convert).
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"

namespace {

void PrintUsage() {
  std::fputs(
      "usage: mok2 <command> [options]\n"
      "  db create DIR                      create the main database mok2.sqlite\n"
      "  db import-towns DIR REGION FILE    import a town list (Geolonia CSV)\n"
      "  db import-blocks DIR REGION FILE   import block-level positions (MLIT CSV)\n"
      "  db import-postal DIR REGION FILE   import postal codes (Japan Post KEN_ALL CSV)\n"
      "  db import-mdb DIR FILE.mdb         convert a legacy Access database\n"
      "  recognize [ADDRESS...]             recognise addresses (stdin when none given)\n"
      "  convert -d REGION -i IN -o OUT ... convert a whole input file\n"
      "Run 'mok2 <command> --help' for the options of a command.\n",
      stderr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage();
    return argc < 2 ? 2 : 0;
  }
  const std::string command = argv[1];
  const mok::app::Args args(argv + 2, argv + argc);
  if (command == "db")
    return mok::app::RunDbCommand(args);
  if (command == "recognize")
    return mok::app::RunRecognizeCommand(args);
  if (command == "convert")
    return mok::app::RunConvertCommand(args);
  std::fprintf(stderr, "mok2: unknown command '%s'\n", command.c_str());
  PrintUsage();
  return 2;
}
