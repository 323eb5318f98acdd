// tendrix load FILE [--dir DIR] [--replace]: records from text on standard
// input into a record file, all or nothing.
//
// The records are written into a copy of the file in a staging folder beside
// it, and the copy replaces the file only when every line went in. A bad line
// therefore leaves the file exactly as it was (or absent, if it was), and the
// store itself judges duplicate keys, with the same collation it uses for
// every other write.

#include <filesystem>
#include <iostream>
#include <istream>
#include <ostream>
#include <system_error>

#include "app/cli_args.h"
#include "app/commands.h"
#include "app/record_text.h"
#include "records/cp1250.h"
#include "records/store.h"

namespace tdx::app {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLoadUsage =
    "usage: tendrix load FILE [--dir DIR] [--replace] < TEXT\n"
    "  FILE  a record file by label or disk name (PARALELA, paralela.dat), any case;\n"
    "        created when missing\n"
    "  --dir DIR   the tender folder (default: the current folder)\n"
    "  --replace   empty the file first (otherwise the records are added)\n";

// Writes between commits of the staged copy: few enough commits to be fast,
// small enough transactions to keep the journal modest.
constexpr int kBatch = 5000;

// The file as it is named on disk (names match without case), or its disk
// name when it does not exist.
fs::path targetPath(const FileDef& def, const fs::path& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    auto u8 = it->path().filename().u8string();
    std::string name(u8.begin(), u8.end());
    if (name.size() == def.diskName.size() && cp1250::equalNoCase(name, def.diskName)) return it->path();
  }
  return folder / std::string(def.diskName);
}

// After a duplicate-key refusal: which unique key the record collides on.
const KeyDef* duplicatedKey(RecordFile& file, const RecordBuffer& record) {
  for (const auto& k : file.def().keys) {
    if (k.dup) continue;
    RecordBuffer probe = record;
    if (file.get(k.id, probe)) return &k;
  }
  return nullptr;
}

}  // namespace

namespace rtext {

int loadRecords(const LoadRequest& req, std::istream& in, std::ostream& out, std::ostream& diag) {
  const FileDef* def = findFile(req.file);
  if (!def) {
    diag << "tendrix load: " << req.file << " is not a record file\n";
    return 2;
  }
  const std::string name(def->diskName);
  std::error_code ec;
  if (!fs::is_directory(req.folder, ec)) {
    diag << "tendrix load: folder " << displayPath(req.folder) << " not found\n";
    return 1;
  }

  // The file stays open exclusively to the end: no other program may change
  // it between our copy and our replacing it, and a file the store cannot
  // read is refused rather than overwritten.
  bool existed = recordFileExists(*def, req.folder);
  RecordFile original(*def, req.folder);
  if (existed && !original.open(OpenMode::exclusive(), def->ownerPassword)) {
    diag << "tendrix load: cannot open " << name << ": " << original.error().describe() << "\n";
    return 1;
  }

  StagingFolder staging(req.folder, "load");
  if (staging.path().empty()) {
    diag << "tendrix load: cannot make a staging folder in " << displayPath(req.folder) << "\n";
    return 1;
  }
  RecordFile staged(*def, staging.path());
  bool ready = existed && !req.replace ? original.copyTo(staging.path()) : staged.create(def->ownerPassword);
  if (!ready) {
    const auto& e = existed && !req.replace ? original.error() : staged.error();
    diag << "tendrix load: cannot prepare " << name << ": " << e.describe() << "\n";
    return 1;
  }
  if (!staged.isOpen() && !staged.open(OpenMode::exclusive(), def->ownerPassword)) {
    diag << "tendrix load: cannot open the staged " << name << ": " << staged.error().describe() << "\n";
    return 1;
  }
  staged.stream();

  RowReader reader(in);
  Row row;
  Header header;
  bool haveHeader = false;
  RecordBuffer buf(*def);
  std::int64_t loaded = 0;
  auto fail = [&](const ReadError& e) {
    diag << describe(e, *def, haveHeader ? &header : nullptr) << "\n";
    return 1;
  };
  while (reader.next(row)) {
    if (!haveHeader) {
      ReadError e;
      auto h = parseHeader(*def, row, e);
      if (!h) return fail(e);
      header = std::move(*h);
      haveHeader = true;
      continue;
    }
    if (auto e = parseRow(header, row, buf)) return fail(*e);
    if (!staged.add(buf)) {
      if (staged.error().code == err::DuplicateKey) {
        const KeyDef* k = duplicatedKey(staged, buf);
        ReadError e{row.line, -1, "duplicate value of a unique key"};
        if (k) {
          e.label = def->fieldLabel(k->components.front());
          e.reason = "duplicate value of the unique key " + std::string(def->prefix) + ":" +
                     std::string(k->name);
        }
        return fail(e);
      }
      return fail(ReadError{row.line, -1, "cannot add the record: " + staged.error().describe()});
    }
    if (++loaded % kBatch == 0 && !staged.flush())
      return fail(ReadError{row.line, -1, "cannot write: " + staged.error().describe()});
  }
  if (reader.error()) return fail(*reader.error());
  if (!haveHeader) return fail(ReadError{1, -1, "no header line (the field labels) on standard input"});

  if (!staged.flush()) {
    diag << "tendrix load: cannot write " << name << ": " << staged.error().describe() << "\n";
    return 1;
  }
  std::int64_t total = staged.records();
  if (!staged.close()) {
    diag << "tendrix load: cannot write " << name << ": " << staged.error().describe() << "\n";
    return 1;
  }
  fs::path target = targetPath(*def, req.folder);
  original.close();
  fs::rename(targetPath(*def, staging.path()), target, ec);
  if (ec) {
    diag << "tendrix load: cannot replace " << displayPath(target) << ": " << ec.message() << "\n";
    return 1;
  }
  out << "loaded " << loaded << (loaded == 1 ? " record" : " records") << " into "
      << displayPath(target) << " (" << total << " in the file"
      << (existed ? "" : ", newly created") << ")\n";
  return 0;
}

}  // namespace rtext

int loadCommand(const Args& args) {
  static constexpr OptionSpec specs[] = {{"dir"}, {"replace", false}, {"help", false}};
  std::string error;
  auto parsed = parseArgs(args, specs, error);
  if (parsed && parsed->has("help")) {
    std::cout << kLoadUsage;
    return 0;
  }
  if (parsed && parsed->positional.size() != 1)
    error = parsed->positional.empty() ? "no FILE given" : "more than one FILE given";
  if (!error.empty()) {
    std::cerr << "tendrix load: " << error << "\n" << kLoadUsage;
    return 2;
  }
  rtext::LoadRequest req;
  req.file = parsed->positional[0];
  if (auto dir = parsed->value("dir")) req.folder = *dir;
  req.replace = parsed->has("replace");
  int status = rtext::loadRecords(req, std::cin, std::cout, std::cerr);
  if (status == 2) std::cerr << kLoadUsage;
  return status;
}

}  // namespace tdx::app
