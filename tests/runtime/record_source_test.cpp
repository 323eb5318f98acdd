#include "runtime/record_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "support/temp_folder.h"

namespace tdx::rt {
namespace {

class RecordSourceTest : public ::testing::Test {
 protected:
  test::TempFolder dir{"source"};
  HeadlessUi ui;
  Session session{ui, dir.path()};

  void store(FileId id, const std::vector<RecordBuffer>& records) {
    RecordFile f(fileDef(id), dir.path());
    ASSERT_TRUE(f.create());
    ASSERT_TRUE(f.open(OpenMode::exclusive()));
    ASSERT_TRUE(f.stream());
    for (RecordBuffer r : records) ASSERT_TRUE(f.add(r));
    ASSERT_TRUE(f.close());
  }

  // Item names (or "-" for no partner) of every record read.
  std::vector<std::string> partners(std::optional<Key> order, bool inKeyOrder) {
    Context ctx(session);
    EXPECT_TRUE(ctx.file(FileId::Paralela).open());
    EXPECT_TRUE(ctx.file(FileId::Podatki).open());
    RecordSource source(ctx, FileId::Paralela, order);
    source.joinTo(
        Key::POD_KSKLOP,
        [](const RecordBuffer& read, RecordBuffer& item) {
          const auto& par = read.as<Paralela>();
          auto& pod = item.as<Podatki>();
          pod.skup = par.skup;
          pod.posk = par.posk;
          pod.sklop = par.sklop;
          pod.sifr = par.sifr;
        },
        inKeyOrder);
    EXPECT_TRUE(source.open());
    std::vector<std::string> out;
    std::int64_t progress = 0;
    while (source.next(progress)) {
      const auto& pod = ctx.rec<Podatki>(FileId::Podatki);
      EXPECT_EQ(source.partnerFound(), !pod.nazi.blank());
      out.push_back(std::string(ctx.rec<Paralela>(FileId::Paralela).imezd.view()) + "=" +
                    (source.partnerFound() ? std::string(pod.nazi.view()) : "-"));
    }
    EXPECT_EQ(source.error().code, err::EndOfFile);
    return out;
  }
};

// Reading the items alongside must find exactly what looking each one up
// finds: gaps, items without offers, several offers of one item, and two
// items with the same key (the first one counts).
TEST_F(RecordSourceTest, ReadingThePartnersAlongsideFindsWhatLookingThemUpFinds) {
  std::mt19937 rng(5);
  std::vector<RecordBuffer> items, offers;
  for (int i = 0; i < 400; ++i) {
    RecordBuffer b(FileId::Podatki);
    auto& p = b.as<Podatki>();
    p.skup = std::int16_t(27 + rng() % 3);
    p.posk = std::int16_t(1 + rng() % 3);
    p.sklop = std::int16_t(rng() % 3);
    p.sifr = std::int32_t(rng() % 40);
    p.nazi = "item " + std::to_string(i);
    items.push_back(b);
  }
  for (int i = 0; i < 1500; ++i) {
    RecordBuffer b(FileId::Paralela);
    auto& p = b.as<Paralela>();
    p.skup = std::int16_t(26 + rng() % 5);
    p.posk = std::int16_t(1 + rng() % 3);
    p.sklop = std::int16_t(rng() % 3);
    p.sifr = std::int32_t(rng() % 45);
    p.bcena = Decimal::fromUnits(std::int64_t(rng() % 1000), 4);
    p.imezd = "offer " + std::to_string(i);
    offers.push_back(b);
  }
  store(FileId::Podatki, items);
  store(FileId::Paralela, offers);

  auto lookedUp = partners(Key::PAR_KSKLOP, false);
  ASSERT_EQ(lookedUp.size(), offers.size());
  EXPECT_EQ(partners(Key::PAR_KSKLOP, true), lookedUp);
  // A source that is not in the key's order is still joined right: what
  // comes out of order is looked up.
  EXPECT_EQ(partners(std::nullopt, true), partners(std::nullopt, false));
  std::size_t without = std::count_if(lookedUp.begin(), lookedUp.end(), [](auto& s) { return s.back() == '-'; });
  EXPECT_GT(without, 0u);
  EXPECT_LT(without, lookedUp.size());
}

}  // namespace
}  // namespace tdx::rt
