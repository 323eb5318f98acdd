// tendrix dump FILE [--dir DIR] [--key KEY]: a record file as text.

#include <iostream>
#include <ostream>

#include "app/cli_args.h"
#include "app/commands.h"
#include "app/record_text.h"
#include "records/store.h"

namespace tdx::app {

namespace {

constexpr const char* kDumpUsage =
    "usage: tendrix dump FILE [--dir DIR] [--key KEY]\n"
    "  FILE  a record file by label or disk name (PARALELA, paralela.dat), any case\n"
    "  --dir DIR  the tender folder (default: the current folder)\n"
    "  --key KEY  print in the order of a key (PAR:KSKLOP or KSKLOP)\n";

std::string fileNames() {
  std::string out;
  for (const auto& def : allFiles()) {
    if (!out.empty()) out += ", ";
    out += def.label;
  }
  return out;
}

std::string keyNames(const FileDef& def) {
  std::string out;
  for (const auto& k : def.keys) {
    if (!out.empty()) out += ", ";
    out += std::string(def.prefix) + ":" + std::string(k.name);
  }
  return out.empty() ? "none" : out;
}

}  // namespace

namespace rtext {

int dumpRecords(const DumpRequest& req, std::ostream& out, std::ostream& diag) {
  const FileDef* def = findFile(req.file);
  if (!def) {
    diag << "tendrix dump: " << req.file << " is not a record file (" << fileNames() << ")\n";
    return 2;
  }
  const KeyDef* key = nullptr;
  if (req.key) {
    key = def->findKey(*req.key);
    if (!key) {
      diag << "tendrix dump: " << def->label << " has no key " << *req.key << " (keys: "
          << keyNames(*def) << ")\n";
      return 2;
    }
  }
  // Checked first so that a missing file is reported, never created.
  if (!recordFileExists(*def, req.folder)) {
    diag << "tendrix dump: " << def->diskName << " not found in " << displayPath(req.folder) << "\n";
    return 1;
  }
  RecordFile file(*def, req.folder);
  if (!file.open(OpenMode{Access::ReadOnly, Share::DenyNone}, def->ownerPassword)) {
    diag << "tendrix dump: cannot open " << def->diskName << ": " << file.error().describe() << "\n";
    return 1;
  }
  bool positioned = key ? file.setKey(key->id) : file.setFileOrder();
  if (!positioned) {
    diag << "tendrix dump: cannot read " << def->diskName << ": " << file.error().describe() << "\n";
    return 1;
  }

  // Lines are gathered into blocks so that a large file costs few writes;
  // nothing else is kept, so memory does not grow with the file.
  constexpr std::size_t kFlushAt = 64 * 1024;
  std::string block = headerLine(*def);
  block += '\n';
  RecordBuffer buf(*def);
  std::int64_t count = 0;
  while (file.next(buf)) {
    appendRecordLine(block, buf);
    ++count;
    if (block.size() >= kFlushAt) {
      out.write(block.data(), std::streamsize(block.size()));
      block.clear();
    }
  }
  out.write(block.data(), std::streamsize(block.size()));
  out.flush();
  if (file.error().code != err::EndOfFile && file.error()) {
    diag << "tendrix dump: reading " << def->diskName << " failed after " << count
        << " records: " << file.error().describe() << "\n";
    return 1;
  }
  if (!out) {
    diag << "tendrix dump: could not write the output\n";
    return 1;
  }
  return 0;
}

}  // namespace rtext

int dumpCommand(const Args& args) {
  static constexpr OptionSpec specs[] = {{"dir"}, {"key"}, {"help", false}};
  std::string error;
  auto parsed = parseArgs(args, specs, error);
  if (parsed && parsed->has("help")) {
    std::cout << kDumpUsage;
    return 0;
  }
  if (parsed && parsed->positional.size() != 1)
    error = parsed->positional.empty() ? "no FILE given" : "more than one FILE given";
  if (!error.empty()) {
    std::cerr << "tendrix dump: " << error << "\n" << kDumpUsage;
    return 2;
  }
  rtext::DumpRequest req;
  req.file = parsed->positional[0];
  if (auto dir = parsed->value("dir")) req.folder = *dir;
  req.key = parsed->value("key");
  int status = rtext::dumpRecords(req, std::cout, std::cerr);
  if (status == 2) std::cerr << kDumpUsage;
  return status;
}

}  // namespace tdx::app
