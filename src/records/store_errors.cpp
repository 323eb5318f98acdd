#include "records/store_errors.h"

#include <cerrno>
#include <cstring>

namespace tdx::store {

namespace {

err::Error driverError(int code, int rc, const char* text) {
  return err::Error::driver(code, rc, text ? text : sqlite3_errstr(rc));
}

}  // namespace

err::Error fromSqlite(sqlite3* db, int rc, Phase phase) {
  const char* text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return {};
    case SQLITE_NOTADB:
      return driverError(err::InvalidFile, rc, text);
    case SQLITE_CORRUPT:
      // On open the file is simply not one we can read; later it is damage
      // the user must hear about with the engine's own words.
      return driverError(phase == Phase::Open ? err::InvalidFile : err::FileSystem, rc, text);
    case SQLITE_CONSTRAINT:
      if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        return driverError(err::DuplicateKey, rc, text);
      return driverError(err::FileSystem, rc, text);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return driverError(err::AccessDenied, rc, text);
    case SQLITE_CANTOPEN: {
      int e = db ? sqlite3_system_errno(db) : 0;
      if (e == ENOENT) return driverError(err::FileNotFound, rc, text);
      if (e == EACCES || e == EPERM || e == EROFS) return driverError(err::AccessDenied, rc, text);
      return driverError(err::FileSystem, rc, text);
    }
    default:
      return driverError(err::FileSystem, rc, text);
  }
}

err::Error fromErrno(int e, const std::string& what) {
  std::string text = what + ": " + std::strerror(e);
  switch (e) {
    case ENOENT:
      return err::Error::driver(err::FileNotFound, e, text);
    case ENOTDIR:
      return err::Error::driver(err::PathNotFound, e, text);
    case EACCES:
    case EPERM:
    case EROFS:
      return err::Error::driver(err::AccessDenied, e, text);
    default:
      return err::Error::driver(err::FileSystem, e, text);
  }
}

err::Error mismatch(const std::string& what) {
  return err::Error::driver(err::FileSystem, SQLITE_MISMATCH, what);
}

}  // namespace tdx::store
