// Filling a new file without index upkeep: the keys come back whole with
// one build, and a file left without them is refused as a damaged key.

#include <gtest/gtest.h>

#include "records/layouts.h"
#include "records/store.h"
#include "support/temp_folder.h"

namespace tdx {
namespace {

RecordBuffer offer(int code, const char* idzdr) {
  RecordBuffer buf(FileId::Paralela);
  buf.clear();
  auto& p = buf.as<Paralela>();
  p.skup = 1;
  p.sifr = code;
  p.idzdr = idzdr;
  return buf;
}

TEST(StoreFill, RowsAddedWithoutKeysAreFoundByEveryKeyAfterTheBuild) {
  test::TempFolder dir("fill");
  RecordFile f(fileDef(FileId::Paralela), dir.path());
  ASSERT_TRUE(f.create());
  ASSERT_TRUE(f.open(OpenMode::exclusive()));
  ASSERT_TRUE(f.suspendKeys());
  ASSERT_TRUE(f.stream());
  const char* codes[] = {"ZZ0001", "aa0002", "MM0003"};
  for (int i = 0; i < 3; ++i) {
    auto buf = offer(i + 1, codes[i]);
    ASSERT_TRUE(f.add(buf));
  }
  ASSERT_TRUE(f.flush());
  ASSERT_TRUE(f.build());
  ASSERT_TRUE(f.close());

  RecordFile again(fileDef(FileId::Paralela), dir.path());
  ASSERT_TRUE(again.open()) << again.error().describe();
  RecordBuffer probe = offer(0, "AA0002");
  ASSERT_TRUE(again.get(Key::PAR_KIDZDR, probe));
  EXPECT_EQ(probe.as<Paralela>().sifr.get(), 2);
  ASSERT_TRUE(again.setKey(Key::PAR_KIDZDR));
  RecordBuffer row(FileId::Paralela);
  std::string order;
  while (again.next(row)) order += row.as<Paralela>().idzdr.view();
  EXPECT_EQ(order, "aa0002MM0003ZZ0001");
}

TEST(StoreFill, FileClosedWithItsKeysSuspendedOpensOnlyAfterARebuild) {
  test::TempFolder dir("fill");
  {
    RecordFile f(fileDef(FileId::Paralela), dir.path());
    ASSERT_TRUE(f.create());
    ASSERT_TRUE(f.open(OpenMode::exclusive()));
    ASSERT_TRUE(f.suspendKeys());
    auto buf = offer(7, "AB1234");
    ASSERT_TRUE(f.add(buf));
  }
  RecordFile f(fileDef(FileId::Paralela), dir.path());
  EXPECT_FALSE(f.open());
  EXPECT_EQ(f.error().code, err::InvalidKey);
  ASSERT_TRUE(f.build());
  ASSERT_TRUE(f.open());
  EXPECT_EQ(f.records(), 1);
}

TEST(StoreFill, OnlyAnOpenWritableFileCanSuspendItsKeys) {
  test::TempFolder dir("fill");
  RecordFile f(fileDef(FileId::Paralela), dir.path());
  EXPECT_FALSE(f.suspendKeys());
  EXPECT_EQ(f.error().code, err::FileNotOpen);
  ASSERT_TRUE(f.create());
  ASSERT_TRUE(f.open({Access::ReadOnly, Share::DenyNone}));
  EXPECT_FALSE(f.suspendKeys());
  EXPECT_EQ(f.error().code, err::AccessDenied);
}

}  // namespace
}  // namespace tdx
