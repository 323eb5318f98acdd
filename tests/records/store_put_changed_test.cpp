// Writing back only the fields that changed: the record reads back exactly
// as a full put would leave it, the keys of the changed fields follow, and
// change detection stands as for put.

#include <gtest/gtest.h>

#include "records/cp1250.h"
#include "records/layouts.h"
#include "records/store.h"
#include "support/temp_folder.h"

namespace tdx {
namespace {

RecordBuffer offer(std::string_view idzdr, int sifr) {
  RecordBuffer buf(FileId::Paralela);
  buf.clear();
  auto& p = buf.as<Paralela>();
  p.skup = 1;
  p.posk = 2;
  p.sklop = 3;
  p.sifr = sifr;
  p.idzdr = idzdr;
  p.imezd = *cp1250::fromUtf8("Zdravilo š");
  p.ncena = Decimal::fromUnits(123456, 4);
  return buf;
}

class StorePutChanged : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordFile f(fileDef(FileId::Paralela), dir.path());
    ASSERT_TRUE(f.create()) << f.error().describe();
    ASSERT_TRUE(f.open());
    for (int i = 1; i <= 3; ++i) {
      auto buf = offer("AB000" + std::to_string(i), i);
      ASSERT_TRUE(f.add(buf));
    }
  }
  RecordFile file() { return RecordFile(fileDef(FileId::Paralela), dir.path()); }
  test::TempFolder dir{"store-put-changed"};
};

TEST_F(StorePutChanged, StoresWhatAFullPutWouldAndItsKeysFollow) {
  auto f = file();
  ASSERT_TRUE(f.open() && f.stream());
  RecordBuffer buf(FileId::Paralela);
  buf.as<Paralela>().idzdr = "AB0002";
  ASSERT_TRUE(f.get(Key::PAR_KIDZDR, buf));
  const RecordBuffer asRead = buf;
  auto& p = buf.as<Paralela>();
  p.ncena = Decimal::fromUnits(99, 2);
  p.em = *cp1250::fromUtf8("škatla");  // a text outside ASCII, bound as UTF-8
  p.idzdr = "ZZ0002";                  // a key's field: its index entry must move
  ASSERT_TRUE(f.putChanged(buf, asRead)) << f.error().describe();
  ASSERT_TRUE(f.flush());

  RecordBuffer back(FileId::Paralela);
  ASSERT_TRUE(f.reget(f.position(), back));
  EXPECT_TRUE(back == buf);
  back.clear();
  back.as<Paralela>().idzdr = "zz0002";  // the key ignores case
  ASSERT_TRUE(f.get(Key::PAR_KIDZDR, back)) << f.error().describe();
  EXPECT_EQ(back.as<Paralela>().sifr.get(), 2);
  back.clear();
  back.as<Paralela>().idzdr = "AB0002";
  EXPECT_FALSE(f.get(Key::PAR_KIDZDR, back));
  EXPECT_EQ(f.error().code, err::RecordNotFound);
}

TEST_F(StorePutChanged, KeepsChangeDetectionAsPut) {
  auto a = file(), b = file();
  ASSERT_TRUE(a.open() && b.open());
  RecordBuffer ra(FileId::Paralela), rb(FileId::Paralela);
  ASSERT_TRUE(a.reget(Position{1}, ra) && b.reget(Position{1}, rb));
  const RecordBuffer aRead = ra;

  // Written back unchanged, it still counts as a write: b's copy is stale.
  ASSERT_TRUE(a.putChanged(ra, aRead)) << a.error().describe();
  rb.as<Paralela>().popust = Decimal(5);
  EXPECT_FALSE(b.put(rb));
  EXPECT_EQ(b.error().code, err::ChangedByOther);

  // b re-read and wrote; a's next change is refused and a sees b's record.
  const RecordBuffer bRead = rb;
  rb.as<Paralela>().popust = Decimal(7);
  ASSERT_TRUE(b.putChanged(rb, bRead)) << b.error().describe();
  const RecordBuffer aBefore = ra;
  ra.as<Paralela>().ncena = Decimal(1);
  EXPECT_FALSE(a.putChanged(ra, aBefore));
  EXPECT_EQ(a.error().code, err::ChangedByOther);
  EXPECT_EQ(ra.as<Paralela>().popust.get(), Decimal(7));
  EXPECT_EQ(ra.as<Paralela>().ncena.get(), Decimal::fromUnits(123456, 4));

  // A record deleted meanwhile is gone, not changed; a wrong buffer is refused.
  ASSERT_TRUE(b.erase());
  const RecordBuffer aNow = ra;
  EXPECT_FALSE(a.putChanged(ra, aNow));
  EXPECT_EQ(a.error().code, err::RecordNotFound);
  RecordBuffer item(FileId::Podatki);
  EXPECT_FALSE(a.putChanged(item, item));
}

TEST_F(StorePutChanged, RefusedOnAReadOnlyOpenAndWithoutARecord) {
  auto f = file();
  ASSERT_TRUE(f.open({Access::ReadOnly, Share::DenyNone}));
  RecordBuffer buf(FileId::Paralela);
  EXPECT_FALSE(f.putChanged(buf, buf));
  EXPECT_EQ(f.error().code, err::EndOfFile);
  ASSERT_TRUE(f.reget(Position{1}, buf));
  const RecordBuffer asRead = buf;
  buf.as<Paralela>().ncena = Decimal(2);
  EXPECT_FALSE(f.putChanged(buf, asRead));
  EXPECT_EQ(f.error().code, err::AccessDenied);
}

}  // namespace
}  // namespace tdx
