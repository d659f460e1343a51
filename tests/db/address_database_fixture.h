// An AddressDatabase over databases built in a temporary folder, with a recording prompter, for
// the tests of the connection state and the lookups.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/address_database.h"
#include "db/test_database_builder.h"
#include "support/recording_prompter.h"

namespace mok::test {

class AddressDatabaseTest : public ::testing::Test {
 protected:
  AddressDatabaseTest() { settings.dbDir = builder.Dir(); }

  // The messages shown so far, in UTF-8, for readable failures.
  std::vector<std::string> Messages() const { return prompter.Texts(); }
  std::u16string RegionFile(const std::u16string& region) const {
    return text::FromUtf8(builder.folder().File(region + u".sqlite").string());
  }

  TestDatabaseBuilder builder;
  Settings settings;
  RecordingPrompter prompter;
  db::AddressDatabase db{settings, prompter};
};

}  // namespace mok::test
