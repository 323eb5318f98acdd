#include "records/errors.h"

#include "records/cp1250.h"

namespace tdx::err {

std::string_view text(int code) {
  switch (code) {
    case None: return "";
    case FileNotFound: return "File Not Found";
    case PathNotFound: return "Path Not Found";
    case AccessDenied: return "Access Denied";
    case FileLocked: return "File Is Already Locked";
    case EndOfFile: return "Record Not Available";
    case RecordNotFound: return "Record Not Found";
    case FileNotOpen: return "File Not Open";
    case DuplicateKey: return "Creates Duplicate Key";
    case InvalidKey: return "Key File Must Be Rebuilt";
    case InvalidFile: return "Invalid Record Declaration";
    case AlreadyOpen: return "File Already Open";
    case FieldOverflow: return "Value Does Not Fit Field";
    case ChangedByOther: return "Record Changed By Another Station";
    case FileSystem: return "File System Error";
    case InvalidPassword: return "Invalid Password";
    case DriverError: return "Driver Error";
    default: return "Unknown Error";
  }
}

std::string Error::describe() const {
  // The messages quote this text inside their own sentences, so the padding
  // a fixed-width error text may carry is dropped.
  if ((code == FileSystem || code == DriverError) && !cp1250::trimRight(driverText).empty())
    return std::string(cp1250::trimRight(driverText)) + " (" + std::to_string(driverCode) + ")";
  std::string_view own = cp1250::trimRight(text);
  if (own.empty()) own = err::text(code);
  return std::string(own) + " (" + std::to_string(code) + ")";
}

}  // namespace tdx::err
