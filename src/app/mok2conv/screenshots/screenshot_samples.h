// Sample contents for pictures of the correction and dictionary windows (the screenshots
// program and demonstrations): a correction dialog caught after a word was selected and
// replaced, and a small main database whose learning dictionary holds a few words.
#pragma once

#include <string>

#include "result/db_result.h"
#include "ui/correction_dialog.h"

namespace mok::screenshots {

// Selects the first occurrence of `word` in the dialog's address as the mouse would, types
// `replacement` and runs the check, so the dialog shows the old and new word and the corrected
// address. The dialog must already hold its address (shown once).
void FillCorrectionSample(ui::CorrectionDialog& dialog, const std::u16string& word,
                          const std::u16string& replacement);

// Creates <folder>/mok2.sqlite with the tables of a main database, the regions 北海道 (1) and
// 東京都 (13), and a few learned words of both scopes and kinds. Fails when the file cannot be
// written; an existing file is left untouched and fails.
DbStatus WriteLearningDictSample(const std::u16string& folder);

}  // namespace mok::screenshots
