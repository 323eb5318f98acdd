#pragma once
// Errors of the exchange files. The code and its text stay the runtime's
// ("Invalid Record Declaration"), so the standard warnings read as they
// always did; what exactly went wrong (the column that did not match, the
// value that did not fit, the line that was too long) goes into driverText,
// where a procedure can show it or a test can check it.

#include <string>
#include <string_view>

#include "records/errors.h"

namespace tdx {

inline err::Error exchangeFailure(int code, std::string detail) {
  err::Error e = err::Error::of(code);
  e.driverText = std::move(detail);
  return e;
}

// A failed system call on `file`: 2, 3 and 5 where errno says so, otherwise
// 90 with errno as the driver's code and its text.
err::Error systemFailure(int errnum, std::string_view file);

}  // namespace tdx
