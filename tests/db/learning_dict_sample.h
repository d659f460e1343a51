// The learning dictionary the editor's tests work on: the regions 北海道 (1) and 東京都 (13), and
// learned words of both scopes and kinds in a known table order, among them words with a quote
// and a LIKE wildcard in them.
#pragma once

#include "support/test_database_builder.h"

namespace mok::test {

inline void AddLearningDictSample(TestDatabaseBuilder& b) {
  b.AddRegion(u"北海道", 1);
  b.AddRegion(u"東京都", 13);
  b.AddLearned(13, 2, u"渋谷", u"渋谷区", 5);
  b.AddLearned(13, 3, u"はち山", u"鉢山", 0);
  b.AddLearned(0, 2, u"札幌", u"札幌市", 50);
  b.AddLearned(1, 2, u"中央", u"札幌市中央区", 0);
  b.AddLearned(0, 3, u"大通", u"札幌大通", 0);
  b.AddLearned(13, 2, u"O'Hare", u"オヘア", 0);
  b.AddLearned(0, 2, u"50%", u"五十", 0);
}

}  // namespace mok::test
