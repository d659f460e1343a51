// The main window's address field boxes proposed for a new input: the fields whose values look
// most like addresses (batch/address_field_proposal.h) fill the boxes 住所１ and 住所２ when the
// input's columns differ from the last input's, and the sample beside the box says so while it
// holds the proposal.
#include <QComboBox>
#include <QLineEdit>

#include "batch/address_field_proposal.h"
#include "batch/number_text.h"
#include "batch/region_place_names.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace mok::ui {

std::vector<std::u16string> MainWindow::AddressFieldTexts() const {
  std::vector<std::u16string> texts;
  for (std::size_t i = 0; i < addressFieldSamples_.size(); ++i)
    texts.push_back(U(addressFieldBoxes_[i]->text().trimmed()));
  return texts;
}

void MainWindow::ProposeAddressFields(const std::u16string& previousInput) {
  const auto startRowNumber = batch::ParseNumber(U(startRowBox_->text()));
  const int32_t startRow = startRowNumber && *startRowNumber >= 1 && *startRowNumber <= kMaxSpin
                               ? static_cast<int32_t>(*startRowNumber)
                               : 2;
  const auto sample = batch::SampleInput(inputPath_, startRow);
  if (!sample)
    return;
  // Another file with the same headings keeps the fields chosen for the last one.
  if (!sample->headings.empty() && previousInput != inputPath_) {
    const auto previous = batch::SampleInput(previousInput, startRow);
    if (previous && previous->headings == sample->headings)
      return;
  }
  const batch::AddressSigns signs(
      batch::RegionPlaceNames(session_.database, U(regionBox_->currentText())));
  const auto proposal = batch::ProposeAddressFields(*sample, signs);
  if (!proposal)
    return;
  const std::vector<std::u16string> texts =
      batch::FieldBoxTexts(proposal->fields, addressFieldSamples_.size());
  for (std::size_t i = 0; i < texts.size(); ++i)
    addressFieldBoxes_[i]->setText(Q(texts[i]));
  proposedFields_ = texts;
}

}  // namespace mok::ui
