#pragma once
// A batch run's source that is a record file: every record in the order of
// a key, or in file order, read into the context's record buffer of the
// file. Optionally each record is joined to the first record of another
// file with the same key value (an outer join: a record without a partner
// leaves the partner's buffer cleared, texts blank and numbers zero).
//
// When the records come in the order of the partner's key (the offers by
// group, subgroup, lot and code, joined to their items by the same), the
// partner file is read alongside in that order instead of being looked up
// record by record: the same partners, for a fraction of the cost. A record
// out of that order is looked up as usual.
//
// Progress is one per record, or the record's size in bytes against the
// size of the file on disk.

#include <filesystem>
#include <functional>
#include <optional>

#include "records/catalogue.h"
#include "records/store.h"
#include "runtime/batch_run.h"

namespace tdx::rt {

class Context;

enum class ProgressUnit { Records, Bytes };

class RecordSource : public BatchSource {
 public:
  RecordSource(Context& ctx, FileId file, std::optional<Key> order, ProgressUnit unit = ProgressUnit::Records);

  // Sets the key components of the partner's buffer from the record read.
  using Prime = std::function<void(const RecordBuffer& read, RecordBuffer& partner)>;
  // Joins every record read to the first record of `key`'s file whose key
  // value `prime` has put into its buffer. `inKeyOrder`: the records come
  // in ascending order of that key value (used only when every component
  // of the key is a number).
  void joinTo(Key key, Prime prime, bool inKeyOrder = false);
  // Did the last record read have a partner?
  bool partnerFound() const { return partnerFound_; }

  std::int64_t total() override;
  bool open() override;
  bool next(std::int64_t& progress) override;
  const err::Error& error() const override { return error_; }
  void send(std::string_view command) override;

 private:
  bool fail(const err::Error& e);
  // The partner of `probe` by reading the partner file alongside; false
  // when reading it failed.
  bool walkTo(const RecordBuffer& probe, bool& found);
  int compareKeys(const RecordBuffer& a, const RecordBuffer& b) const;

  Context* ctx_;
  FileId file_;
  std::optional<Key> order_;
  ProgressUnit unit_;
  std::optional<Key> joinKey_;
  Prime prime_;
  bool partnerFound_ = false;
  // Reading the partner alongside.
  bool walk_ = false;
  std::optional<RecordBuffer> probe_, lastProbe_, ahead_;
  bool aheadValid_ = false, partnerEnded_ = false;
  err::Error error_;
};

}  // namespace tdx::rt
