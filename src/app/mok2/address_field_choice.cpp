#include "address_field_choice.h"

#include <variant>

#include "batch/address_field_hint.h"
#include "batch/address_field_proposal.h"
#include "batch/region_place_names.h"
#include "text/text.h"

namespace mok::app {

AddressFieldChoice ChooseAddressFields(const db::AddressDatabase& database,
                                       const batch::RunRequest& request) {
  AddressFieldChoice choice{request.addressFields, ""};
  const auto numbers = batch::ReadRunNumbers(request);
  if (!std::holds_alternative<batch::RunNumbers>(numbers))
    return choice;
  const auto sample =
      batch::SampleInput(request.inputPath, std::get<batch::RunNumbers>(numbers).startRow);
  if (!sample)
    return choice;
  const batch::AddressSigns signs(batch::RegionPlaceNames(database, request.region));
  if (const auto proposal = batch::ProposeAddressFields(*sample, signs)) {
    choice.fields = batch::FieldBoxTexts(proposal->fields, proposal->fields.size());
    choice.line = "住所フィールド：" +
                  text::ToUtf8(batch::FieldsName(proposal->fields, sample->headings)) +
                  "（値が最も住所らしいフィールド。ほかのフィールドは -f で指定します）";
  } else {
    choice.line = "住所フィールド：" +
                  text::ToUtf8(batch::FieldsName(std::get<batch::RunNumbers>(numbers).addressFields,
                                                 sample->headings)) +
                  "（住所らしいフィールドが見つからないため、前回の指定。-f で指定します）";
  }
  return choice;
}

}  // namespace mok::app
