// The settings record: every key of section "MOK" of mok.ini, plus the current input and output
// paths that the main window keeps up to date. One instance lives for the whole program and is
// passed by reference to whoever reads it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mok {

struct FixedTerm {
  int16_t code = 0;
  std::u16string term;
};

struct Settings {
  // Section "MOK"; the key is in the comment. Flags are stored as 0/1 and read as set when the
  // stored value is 1.
  std::u16string mapProgram;  // VELMORA (not saved)
  std::u16string tempDir;     // TEMPDIR (not saved)
  std::u16string dbDir;       // DBDIR
  // MAINDB: the server that holds the main database ("postgresql://host/dbname"), "" for the
  // file mok2.sqlite of DBDIR. Never a password: that is read from ~/.pgpass.
  std::u16string mainDb;
  std::u16string inputDir;          // INPUTDIR
  std::u16string outputDir;         // OUTPUTDIR
  std::u16string delimiter = u",";  // DELIMITER
  bool notOverwrite = false;        // NOTOVERWRITE
  bool unknownCheck = false;        // UNKNOWN
  bool unknownOut = false;          // UNKNOWNOUT
  bool csvOut = true;               // CSVOUT ("1"/"0")
  bool townCombine = true;          // TOWNCONBINE ("1"/"0")
  bool prefOut = false;             // PREF
  bool cityOut = false;             // CITY
  bool remainOut = false;           // REMAIN
  bool logOut = false;              // LOG
  bool monitor = true;              // MONITOR
  bool srcOut = true;               // SRCOUT
  bool cityCodeOut = true;          // CITYCODE
  bool coordNoOut = true;           // COORDNO
  bool xyOut = true;                // XYCOORD
  bool latLonOut = true;            // LATITUDE
  bool levelOut = false;       // POSLEVEL: the 位置レベル column (what the point stands for)
  bool meshCodeOut = true;     // MESHCODE
  int16_t addLine = 1;         // ADDLINE (not saved)
  bool completeMatch = false;  // COMPLETEMATCH
  bool extendedMatch = false;  // MATCHMODE: 1 the extended matching, else the standard one
  int16_t jobs = 0;            // JOBS: threads that recognise addresses (0: one per core)
  std::vector<FixedTerm> fixedTerms;  // FIXEDTERM_0001.. (not saved)

  // OUTPUTENCODING: "cp932", "utf8" or "utf8-bom"; anything else (also "") writes the output in
  // the encoding of its input. The settings dialogs leave it as it is: the main window and the
  // settings file set it.
  std::u16string outputEncoding;
  // INPUTENCODING: "cp932" or "utf8" (also "utf8-bom") reads every input in that encoding;
  // anything else (also "") tells each input's encoding from its bytes. Set in the settings file.
  std::u16string inputEncoding;

  // Current paths, kept by the main window (section "CURRENT" holds their last values).
  std::u16string inputFilePath;
  std::u16string outputFilePath;
};

}  // namespace mok
