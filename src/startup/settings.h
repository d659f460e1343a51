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
  // Section "MOK"; the key is in the comment. Flags hold 0/1 and are tested for 1.
  std::u16string MapProgram;          // VELMORA (not saved)
  std::u16string TempDir;             // TEMPDIR (not saved)
  std::u16string DbDir;               // DBDIR
  std::u16string InputDir;            // INPUTDIR
  std::u16string OutputDir;           // OUTPUTDIR
  std::u16string Delimiter = u",";    // DELIMITER
  int16_t NotOverwrite = 0;           // NOTOVERWRITE
  int16_t UnknownCheck = 0;           // UNKNOWN
  int16_t UnknownOut = 0;             // UNKNOWNOUT
  bool CsvOut = true;                 // CSVOUT ("1"/"0")
  bool TownCombine = true;            // TOWNCONBINE ("1"/"0")
  int16_t PrefOut = 0;                // PREF
  int16_t CityOut = 0;                // CITY
  int16_t RemainOut = 0;              // REMAIN
  int16_t LogOut = 0;                 // LOG
  int16_t Monitor = 1;                // MONITOR
  int16_t SrcOut = 1;                 // SRCOUT
  int16_t CityCodeOut = 1;            // CITYCODE
  int16_t CoordNoOut = 1;             // COORDNO
  int16_t XYOut = 1;                  // XYCOORD
  int16_t LatLonOut = 1;              // LATITUDE
  int16_t MeshCodeOut = 1;            // MESHCODE
  int16_t AddLine = 1;                // ADDLINE (not saved)
  int16_t CompleteMatch = 0;          // COMPLETEMATCH
  std::vector<FixedTerm> FixedTerms;  // FIXEDTERM_0001.. (not saved)

  // Current paths, kept by the main window (section "CURRENT" holds their last values).
  std::u16string InputFilePath;
  std::u16string OutputFilePath;
};

}  // namespace mok
