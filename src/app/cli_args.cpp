#include "app/cli_args.h"

#include <charconv>

namespace tdx::app {

bool ParsedArgs::has(std::string_view name) const {
  for (const auto& o : options_)
    if (o.first == name) return true;
  return false;
}

std::optional<std::string> ParsedArgs::value(std::string_view name) const {
  std::optional<std::string> found;
  for (const auto& o : options_)
    if (o.first == name) found = o.second;
  return found;
}

std::vector<std::string> ParsedArgs::values(std::string_view name) const {
  std::vector<std::string> out;
  for (const auto& o : options_)
    if (o.first == name) out.push_back(o.second);
  return out;
}

void ParsedArgs::add(std::string_view name, std::string value) {
  options_.emplace_back(std::string(name), std::move(value));
}

std::optional<ParsedArgs> parseArgs(const Args& args, std::span<const OptionSpec> specs,
                                    std::string& error) {
  ParsedArgs out;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      // A lone "-" is a positional (it may mean standard input to a caller).
      if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
        error = "unknown option " + arg;
        return std::nullopt;
      }
      out.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string_view body = std::string_view(arg).substr(2);
    std::optional<std::string> inlineValue;
    if (auto eq = body.find('='); eq != std::string_view::npos) {
      inlineValue = std::string(body.substr(eq + 1));
      body = body.substr(0, eq);
    }
    const OptionSpec* spec = nullptr;
    for (const auto& s : specs)
      if (s.name == body) spec = &s;
    if (!spec) {
      error = "unknown option --" + std::string(body);
      return std::nullopt;
    }
    if (!spec->repeatable && out.has(spec->name)) {
      error = "option --" + std::string(spec->name) + " given twice";
      return std::nullopt;
    }
    if (!spec->takesValue) {
      if (inlineValue) {
        error = "option --" + std::string(spec->name) + " takes no value";
        return std::nullopt;
      }
      out.add(spec->name, {});
      continue;
    }
    if (inlineValue) {
      out.add(spec->name, *inlineValue);
    } else if (i + 1 < args.size()) {
      out.add(spec->name, args[++i]);
    } else {
      error = "option --" + std::string(spec->name) + " needs a value";
      return std::nullopt;
    }
  }
  return out;
}

std::optional<std::int64_t> parseWholeNumber(std::string_view text, std::int64_t min,
                                             std::int64_t max) {
  if (text.empty()) return std::nullopt;
  std::int64_t v = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') {  // from_chars refuses a plus sign; people write one
    ++first;
    if (first == last || *first == '-') return std::nullopt;
  }
  auto [ptr, ec] = std::from_chars(first, last, v);
  if (ec != std::errc() || ptr != last || v < min || v > max) return std::nullopt;
  return v;
}

std::string displayPath(const std::filesystem::path& p) {
  auto u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

StagingFolder::StagingFolder(const std::filesystem::path& folder, std::string_view tag) {
  for (int i = 1; i < 1000 && path_.empty(); ++i) {
    auto p = folder / (".tendrix-" + std::string(tag) + "-" + std::to_string(i));
    std::error_code ec;
    if (std::filesystem::create_directory(p, ec)) path_ = p;
  }
}

StagingFolder::~StagingFolder() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

}  // namespace tdx::app
