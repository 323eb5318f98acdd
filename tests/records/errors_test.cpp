#include "records/errors.h"

#include <gtest/gtest.h>

namespace tdx::err {
namespace {

TEST(ErrorText, EveryCodeHasItsText) {
  const std::pair<int, const char*> cases[] = {
      {FileNotFound, "File Not Found"},
      {PathNotFound, "Path Not Found"},
      {AccessDenied, "Access Denied"},
      {FileLocked, "File Is Already Locked"},
      {EndOfFile, "Record Not Available"},
      {RecordNotFound, "Record Not Found"},
      {FileNotOpen, "File Not Open"},
      {DuplicateKey, "Creates Duplicate Key"},
      {InvalidKey, "Key File Must Be Rebuilt"},
      {InvalidFile, "Invalid Record Declaration"},
      {AlreadyOpen, "File Already Open"},
      {FieldOverflow, "Value Does Not Fit Field"},
      {ChangedByOther, "Record Changed By Another Station"},
      {FileSystem, "File System Error"},
      {InvalidPassword, "Invalid Password"},
      {DriverError, "Driver Error"},
      {4711, "Unknown Error"},
  };
  for (auto [code, want] : cases) EXPECT_EQ(text(code), want) << code;
}

TEST(ErrorText, DescribeNamesTheCode) {
  EXPECT_EQ(Error::of(FileNotFound).describe(), "File Not Found (2)");
  EXPECT_EQ(Error::of(ChangedByOther).describe(), "Record Changed By Another Station (89)");
  // Driver errors quote the driver, without its padding.
  EXPECT_EQ(Error::driver(FileSystem, 11, "database disk image is malformed   ").describe(),
            "database disk image is malformed (11)");
  EXPECT_EQ(Error::driver(DriverError, 5, "database is locked").describe(), "database is locked (5)");
  // A driver error without driver text still says what it is.
  EXPECT_EQ(Error::driver(DriverError, 5, "").describe(), "Driver Error (100)");
  Error padded{FileLocked, "File Is Already Locked    ", 0, {}};
  EXPECT_EQ(padded.describe(), "File Is Already Locked (32)");
  EXPECT_FALSE(Error{});
  EXPECT_TRUE(Error::of(FileNotFound));
}

}  // namespace
}  // namespace tdx::err
