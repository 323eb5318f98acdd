#pragma once
// Error codes of the record-file operations, with their texts. The ones the
// standard file handling tests for (2, 32, 46, 47, 52, 89, 90) are fixed; the
// others are ours, listed in docs/architecture.md.

#include <string>
#include <string_view>

namespace tdx::err {

inline constexpr int None = 0;
inline constexpr int FileNotFound = 2;          // "File Not Found"
inline constexpr int PathNotFound = 3;          // "Path Not Found"
inline constexpr int AccessDenied = 5;          // "Access Denied"
inline constexpr int FileLocked = 32;           // "File Is Already Locked"
inline constexpr int EndOfFile = 33;            // "Record Not Available" (read past the end)
inline constexpr int RecordNotFound = 35;       // "Record Not Found"
inline constexpr int FileNotOpen = 37;          // "File Not Open"
inline constexpr int DuplicateKey = 40;         // "Creates Duplicate Key"
inline constexpr int InvalidKey = 46;           // "Key File Must Be Rebuilt"
inline constexpr int InvalidFile = 47;          // "Invalid Record Declaration"
inline constexpr int AlreadyOpen = 52;          // "File Already Open"
inline constexpr int FieldOverflow = 75;        // "Value Does Not Fit Field"
inline constexpr int ChangedByOther = 89;       // "Record Changed By Another Station"
inline constexpr int FileSystem = 90;           // "File System Error" (driver text applies)
inline constexpr int InvalidPassword = 91;      // "Invalid Password"
inline constexpr int DriverError = 100;         // driver-reported (driver text applies)

// The runtime's text of a code ("File Not Found"); "Unknown Error" otherwise.
std::string_view text(int code);

// The last error of an operation: code and text, and for codes 90 and 100
// the driver's own code and text.
struct Error {
  int code = None;
  std::string text;
  int driverCode = 0;
  std::string driverText;
  explicit operator bool() const { return code != None; }
  void clear() { *this = Error{}; }
  static Error of(int code) { return Error{code, std::string(err::text(code)), 0, {}}; }
  static Error driver(int code, int driverCode, std::string driverText) {
    return Error{code, std::string(err::text(code)), driverCode, std::move(driverText)};
  }
  // "File Not Found (2)"; for 90 and 100 "<driver text> (<driver code>)".
  std::string describe() const;
};

}  // namespace tdx::err
