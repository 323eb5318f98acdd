#include "exchange/exchange_error.h"

#include <cerrno>
#include <cstring>

namespace tdx {

err::Error systemFailure(int errnum, std::string_view file) {
  switch (errnum) {
    case ENOENT:
      return exchangeFailure(err::FileNotFound, std::string(file) + ": " + std::strerror(errnum));
    case ENOTDIR:
      return exchangeFailure(err::PathNotFound, std::string(file) + ": " + std::strerror(errnum));
    case EACCES:
    case EPERM:
    case EROFS:
      return exchangeFailure(err::AccessDenied, std::string(file) + ": " + std::strerror(errnum));
    default:
      return err::Error::driver(err::FileSystem, errnum, std::string(file) + ": " + std::strerror(errnum));
  }
}

}  // namespace tdx
