#pragma once
// What the subcommands share: a small option parser (positional arguments,
// `--name VALUE` (also `--name=VALUE`), flags, options that may repeat),
// paths for the terminal, and a staging folder. Anything the parser does not
// know is a usage error, so a mistyped option never passes silently as a
// default.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/commands.h"

namespace tdx::app {

struct OptionSpec {
  std::string_view name;  // without the dashes: "items"
  bool takesValue = true;  // false: a flag such as --replace
  bool repeatable = false;
};

class ParsedArgs {
 public:
  std::vector<std::string> positional;

  bool has(std::string_view name) const;
  // The value of a single option; nullopt when not given.
  std::optional<std::string> value(std::string_view name) const;
  // Every value of a repeatable option, in the order given.
  std::vector<std::string> values(std::string_view name) const;

  void add(std::string_view name, std::string value);

 private:
  std::vector<std::pair<std::string, std::string>> options_;
};

// Parses `args`; on a usage error returns nullopt and fills `error` with a
// one-line reason ("unknown option --itmes"). "--" ends the options.
std::optional<ParsedArgs> parseArgs(const Args& args, std::span<const OptionSpec> specs,
                                    std::string& error);

// A whole number in [min, max] written in plain decimal digits; nullopt
// otherwise (so "1e3", "12abc" and "-0x1" are refused, not half read).
std::optional<std::int64_t> parseWholeNumber(std::string_view text, std::int64_t min,
                                             std::int64_t max);

// A path as UTF-8 for the terminal (path::string() is the ANSI code page on
// Windows).
std::string displayPath(const std::filesystem::path& p);

// A fresh hidden folder inside `folder` ("<folder>/.tendrix-<tag>-N") where a
// subcommand builds files before moving them into place: on the same file
// system, so the final rename is atomic. Removed with the object, whatever
// happened; path() is empty when none could be made.
class StagingFolder {
 public:
  StagingFolder(const std::filesystem::path& folder, std::string_view tag);
  ~StagingFolder();
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace tdx::app
