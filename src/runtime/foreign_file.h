#pragma once
// Files of the working folder that are not record files of the catalogue
// (the dBase exchange tables), opened the way record files are opened.
//
// A batch run lists its exchange tables beside its record files, and the
// open-with-recovery rules apply to both alike: a locked file is retried
// once after "Recover=5", a missing one is created when allowed, one that
// is not of its layout is invalid; each failure ends the program with the
// standard warning that names the file.

#include <string>
#include <string_view>

#include "records/errors.h"

namespace tdx::rt {

class Context;

class ForeignFile {
 public:
  virtual ~ForeignFile() = default;
  // As the warnings name it: "paraldbf.dbf".
  virtual std::string messageName() const = 0;
  virtual bool isOpen() const = 0;
  // Read and write, others allowed to read and write. 2 when missing, 32
  // when someone holds it exclusively, 47 when it is not of its layout, 52
  // when this object has it open already.
  virtual bool open() = 0;
  // Anew and empty, with its layout.
  virtual bool create() = 0;
  // Pending rows go to the file first; false when they could not.
  virtual bool close() = 0;
  virtual void send(std::string_view command) = 0;
  virtual const err::Error& error() const = 0;
};

// Opens `f` unless it is open already, with the recovery of record files.
// Failures end the program (ProgramEnd) after their standard warning.
void openWithRecovery(Context& ctx, ForeignFile& f, bool createAllowed);

}  // namespace tdx::rt
