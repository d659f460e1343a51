// Which output belongs to which input, so that a run never replaces another file by surprise.
//
// The output of an input is recognised by its records, read as the unprocessed-only run pairs
// them: after its header, every record of the earlier output begins with the input's record at
// the same place (the record itself when it was not converted, the record and "," and the
// converted fields when it was). The first records decide (an output of this input that a
// stopped run left short still counts); an output that holds no source fields (SRCOUT 0) cannot
// be recognised and counts as another file. A workbook output names its input in a document
// property (workbook_sink.h).
//
// Example: for the input "ID,住所" / "1,東京都千代田区丸の内1-1-1", the file
// "ID,住所,大字・町丁目+…" / "1,東京都千代田区丸の内1-1-1,丸の内一丁目,13101,…" is its output;
// a file whose second line is "2,鈴木,…" is not.
#pragma once

#include <cstdint>
#include <string>

#include "batch/input_reader.h"
#include "startup/settings.h"

namespace mok::batch {

enum class OutputClaim {
  Free,         // no file at the path, or an empty one: nothing would be lost
  OfThisInput,  // the earlier output of this input
  Other,        // any other file
};

// What the file at `outputPath` is to the input `input`; `headerLines`: the output's header lines.
OutputClaim ClaimOfOutput(const std::u16string& outputPath, const InputSource& input,
                          int32_t headerLines);

// The output a new input gets: "<input name without its extension>_結果.csv" beside the input
// (".xlsx" when the settings ask for the Excel form, CSVOUT 0).
std::u16string DefaultOutputPath(const std::u16string& inputPath, const Settings& settings);

// Whether the output is written as an Excel workbook: its name ends in ".xlsx" (any case).
bool IsWorkbookOutput(const std::u16string& outputPath);

// The question before replacing a file that is not the input's earlier output.
std::u16string ReplaceOutputQuestion(const std::u16string& outputPath,
                                     const std::u16string& inputPath);
// Its last words, by which a program that answers for the user tells it from other questions.
inline constexpr char16_t kReplaceOutputAsked[] = u"置き換えますか？";

// Why an unprocessed-only run cannot go on over a file that is not the input's earlier output.
std::u16string NotTheInputsOutputMessage(const std::u16string& outputPath,
                                         const std::u16string& inputPath);

}  // namespace mok::batch
