// Per-call cost of the lookups a conversion run makes for every address: the block/lot
// coordinates of a town and the learning-dictionary lookup (a miss, and a hit that stores its
// count), on a copy of the Tokyo sample databases. When the sample is missing, a small database
// of the same shape is built instead.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "db/address_database.h"
#include "db/connection.h"
#include "db/schema.h"
#include "engine/recognition/block_coordinates.h"
#include "text/text.h"

namespace {

namespace fs = std::filesystem;
using mok::db::Connection;

struct Town {
  std::u16string prefecture, city, town;
};

// The databases of the benchmark in a temporary folder, removed at exit.
class BenchData {
 public:
  BenchData() {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("mok-bench-lookups-" + std::to_string(rd()));
    fs::create_directories(dir_);
    const fs::path sample(MOK_SAMPLE_DB);
    const fs::path region = fs::path(mok::text::ToUtf8(u"東京都.sqlite"));
    if (fs::exists(sample / "mok2.sqlite") && fs::exists(sample / region)) {
      fs::copy_file(sample / "mok2.sqlite", dir_ / "mok2.sqlite");
      fs::copy_file(sample / region, dir_ / region);
      source = "sample";
    } else {
      BuildSmall();
      source = "built";
    }
    AddLearnedWords();
    ReadTowns();
  }
  ~BenchData() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::u16string Dir() const { return mok::text::FromUtf8(dir_.string()); }

  std::vector<Town> towns;
  std::string source;

 private:
  std::u16string PathOf(const std::u16string& file) const {
    return mok::text::FromUtf8((dir_ / fs::path(mok::text::ToUtf8(file))).string());
  }

  void BuildSmall() {
    auto main = Connection::Create(PathOf(u"mok2.sqlite"));
    mok::db::CreateMainSchema(*main);
    auto region = Connection::Create(PathOf(u"東京都.sqlite"));
    mok::db::CreateRegionSchema(*region);
    mok::db::CreateBlockTable(*region, u"BLK13101");
    region->Execute("begin");
    auto pos = region->Compile(
        "insert into POSITION values ('東京都', '千代田区', ?1, 'BLK13101', ?2, '13101')");
    auto blk = region->Compile(
        "insert into BLK13101 values (?1, ?2, '9', '-35000.5', '-6000.25', '35.68', '139.76')");
    for (int id = 1; id <= 500; ++id) {
      pos->Reset();
      pos->BindText(1, u"町" + mok::text::FromUtf8(std::to_string(id)));
      pos->BindInt(2, id);
      pos->Run();
      for (int b = 1; b <= 20; ++b) {
        blk->Reset();
        blk->BindInt(1, id);
        blk->BindText(2, mok::text::FromUtf8(std::to_string(b)));
        blk->Run();
      }
    }
    region->Execute("commit");
    mok::db::CreateLookupIndexes(*region);
  }

  void AddLearnedWords() {
    auto main = Connection::Open(PathOf(u"mok2.sqlite"));
    main->Execute("begin");
    auto st = main->Compile(
        "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数)"
        " values (?1, ?2, ?3, ?4, 0)");
    for (int i = 0; i < 200; ++i) {
      st->Reset();
      st->BindInt(1, i % 2).BindInt(2, 2 + i % 2);
      st->BindText(3, u"語" + mok::text::FromUtf8(std::to_string(i)));
      st->BindText(4, u"変換" + mok::text::FromUtf8(std::to_string(i)));
      st->Run();
    }
    main->Execute("insert into 学習 values (0, 2, '札幌', '札幌市', 0)");
    main->Execute("commit");
    mok::db::CreateLookupIndexes(*main);
  }

  void ReadTowns() {
    auto region = Connection::Open(PathOf(u"東京都.sqlite"), true);
    auto st = region->Compile(
        "select fld都道府県名, fld市区町村名, fld大字・町丁目 from POSITION order by rowid");
    while (true) {
      auto row = st->Step();
      if (!row.ok() || !*row)
        break;
      towns.push_back({st->Text(0), st->Text(1), st->Text(2)});
    }
  }

  fs::path dir_;
};

BenchData& Data() {
  static BenchData data;
  return data;
}

struct Fixture {
  Fixture() {
    db.Open(Data().Dir());
    db.SelectRegion(u"東京都");
  }
  mok::db::AddressDatabase db;
};

// The town's POSITION row, then the point below it for block number 12, as the recognition
// asks for every address.
void BlockCoordinates(benchmark::State& state, bool completeMatch) {
  Fixture f;
  const auto& towns = Data().towns;
  std::size_t i = 0, found = 0, failures = 0;
  mok::engine::AddressParts parts;
  parts.numbers[0] = u"１２";
  for (auto _ : state) {
    const Town& t = towns[i++ % towns.size()];
    parts.prefecture = t.prefecture;
    parts.city = t.city;
    parts.townName = t.town;
    const mok::engine::BlockMatch match =
        mok::engine::LookupBlockCoordinates(f.db, parts, completeMatch);
    failures += match.error ? 1 : 0;
    found += match.found ? 1 : 0;
    benchmark::DoNotOptimize(match);
  }
  state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
  state.counters["failures"] = static_cast<double>(failures);
  state.SetLabel(Data().source + ", " + std::to_string(towns.size()) + " towns");
}

void BM_LookupBlockCoordinates_Nearest(benchmark::State& state) {
  BlockCoordinates(state, false);
}
void BM_LookupBlockCoordinates_Exact(benchmark::State& state) {
  BlockCoordinates(state, true);
}

void BM_LookupLearnedWord_Miss(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    auto r = f.db.FindLearnedWord(mok::engine::WordKind::City, u"千代田区");
    benchmark::DoNotOptimize(r);
  }
}

// A hit finds the word and stores the row's new count.
void BM_LookupLearnedWord_Hit(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    auto r = f.db.FindLearnedWord(mok::engine::WordKind::City, u"札幌中央区");
    if (r && *r)
      f.db.CountLearnedWordUse((*r)->id);
    benchmark::DoNotOptimize(r);
  }
}

BENCHMARK(BM_LookupBlockCoordinates_Nearest);
BENCHMARK(BM_LookupBlockCoordinates_Exact);
BENCHMARK(BM_LookupLearnedWord_Miss);
BENCHMARK(BM_LookupLearnedWord_Hit);

}  // namespace

BENCHMARK_MAIN();
