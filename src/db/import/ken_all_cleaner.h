// Turns the lines of Japan Post's KEN_ALL postal-code file into the records of the POST table.
//
// The published file needs three kinds of cleaning before its names can be matched against
// addresses:
// - a record too long for one line goes on over the following lines (same postal code), the place
//   name cut inside its parenthesised annotation:
//     0600042,...,"ｵｵﾄﾞｵﾘﾆｼ(1-19ﾁｮｳﾒ)",...,"大通西（１～１９丁目）"  is one line, but
//     "大通西（２０～２８丁目、３０" + "～３３丁目）" may be two; they are joined first;
// - annotations in parentheses (kanji "（...）", kana "(...)") are not part of the name and are
//   dropped: 大手町ＪＡビル（地階・階層不明） -> 大手町ＪＡビル;
// - the rows "以下に掲載がない場合" (kana ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ) stand for "any other place of the
//   municipality" and name no place; they are dropped.
// - "利島村一円" (the whole municipality) and "...の次に番地がくる場合" (the lot number follows
//   the municipality's name) name no place either; their records keep the municipality with an
//   empty place name, so that a katakana address of the bare municipality still finds them.
// Records that become identical after the cleaning are kept once. Kana stays half-width as
// published.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mok::db {

struct PostalRecord {
  std::u16string postalCode;  // fld郵便番号
  std::u16string city;        // fld市区町村 (kanji)
  std::u16string place;       // fld地名 (kanji)
  std::u16string cityKana;    // fldシクチョウソン
  std::u16string placeKana;   // fldチメイ
  bool operator==(const PostalRecord&) const = default;
  auto operator<=>(const PostalRecord&) const = default;
};

// One KEN_ALL line: its fields and line number (for messages).
struct KenAllLine {
  std::vector<std::u16string> fields;
  int64_t lineNumber = 0;
};

struct KenAllCleaning {
  std::vector<PostalRecord> records;
  int64_t joinedLines = 0;    // continuation lines merged into the line before
  int64_t droppedOthers = 0;  // "以下に掲載がない場合" rows
  int64_t duplicates = 0;     // records equal to an earlier one after cleaning
  int64_t wholeMunicipality = 0;  // "一円" and "の次に番地がくる場合" records, place emptied
};

// Cleans the lines in file order. Lines with fewer than 9 fields are the caller's error to report.
KenAllCleaning CleanKenAll(const std::vector<KenAllLine>& lines);

// The text without its parenthesised parts: both "（...）" and "(...)", also when the closing
// parenthesis is missing (everything after the opening one goes).
std::u16string WithoutAnnotations(std::u16string_view text);

}  // namespace mok::db
