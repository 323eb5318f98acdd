#pragma once
// The new offers file of an import that replaces all offers.
//
// It is filled beside the working folder, in a folder of its own, without
// its keys and in one transaction, so the rows go in at the speed of a bare
// table load; at the end its keys are built in one pass and it is put in
// place of the offers file in one rename. Until then the offers file is the
// empty one the import made at its start, so whatever ends the import (a
// cancel, a killed process, a full disk) the offers file is a whole file:
// empty, with the previous offers in the backup, or holding every row the
// import got to. A file left over by a killed import is replaced by the
// next one.

#include <cstdint>
#include <filesystem>
#include <memory>

#include "records/catalogue.h"
#include "records/errors.h"
#include "records/store.h"

namespace tdx::transfer {

class NewOffersFile {
 public:
  explicit NewOffersFile(const std::filesystem::path& workingFolder);
  ~NewOffersFile();

  // Creates it empty, held exclusively, ready for adding.
  err::Error begin();
  bool isOpen() const { return file_.isOpen(); }
  // Adds an offer record; false with error().
  bool add(RecordBuffer& offer);
  const err::Error& error() const { return file_.error(); }

  // Builds the keys and puts the file in place of `offers` (closed by now).
  // `rows` is what the offers file then holds. On failure the offers file
  // is left as it was and the new file is removed.
  err::Error finish(const std::filesystem::path& offers, std::int64_t& rows);

  // Where it is filled (for tests).
  const std::filesystem::path& folder() const { return folder_; }

 private:
  void discard();
  std::filesystem::path folder_;
  RecordFile file_;
};

}  // namespace tdx::transfer
