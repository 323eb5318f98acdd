#include "runtime/positions.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace tdx::rt {

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::optional<int> toInt(const std::map<std::string, std::string>& sec, const char* name) {
  auto it = sec.find(name);
  if (it == sec.end()) return std::nullopt;
  int v = 0;
  auto s = trim(it->second);
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

}  // namespace

PositionStore::PositionStore(std::filesystem::path file) : file_(std::move(file)) {}

void PositionStore::load() const {
  if (loaded_) return;
  loaded_ = true;
  std::ifstream in(file_);
  std::string line;
  Section* current = nullptr;
  while (std::getline(in, line)) {
    auto s = trim(line);
    if (s.empty() || s.front() == ';' || s.front() == '#') continue;
    if (s.front() == '[' && s.back() == ']') {
      current = &sections_[std::string(s.substr(1, s.size() - 2))];
      continue;
    }
    auto eq = s.find('=');
    if (current == nullptr || eq == std::string_view::npos) continue;
    (*current)[std::string(trim(s.substr(0, eq)))] = std::string(trim(s.substr(eq + 1)));
  }
}

void PositionStore::write() const {
  std::ostringstream out;
  for (const auto& [name, sec] : sections_) {
    out << '[' << name << "]\n";
    for (const auto& [k, v] : sec) out << k << '=' << v << '\n';
    out << '\n';
  }
  // A half-written settings file would lose every window's place: write a
  // sibling and rename it over the old one.
  auto tmp = file_;
  tmp += ".tmp";
  {
    std::ofstream f(tmp, std::ios::trunc);
    f << out.str();
    if (!f) return;
  }
  std::error_code ec;
  std::filesystem::rename(tmp, file_, ec);
}

void PositionStore::save(std::string_view procedure, const WindowState& st) {
  load();
  auto& sec = sections_[std::string(procedure)];
  sec["Maximize"] = st.maximized ? "Yes" : "No";
  sec["Minimize"] = st.minimized ? "Yes" : "No";
  bool normal = !st.maximized && !st.minimized;
  auto put = [&](const char* k, bool set, int v) {
    if (set) sec[k] = std::to_string(v);
    else sec.erase(k);
  };
  put("XPos", normal, st.x);
  put("YPos", normal, st.y);
  put("Width", normal && st.resizable, st.width);
  put("Height", normal && st.resizable, st.height);
  write();
}

RestorePlan PositionStore::restore(std::string_view procedure, bool currentlyMaximized,
                                   bool resizable) const {
  load();
  RestorePlan plan;
  auto it = sections_.find(procedure);
  if (it == sections_.end()) return plan;
  const auto& sec = it->second;
  auto mx = sec.find("Maximize");
  if (mx == sec.end() || (mx->second != "Yes" && mx->second != "No")) return plan;
  plan.apply = true;
  bool savedMax = mx->second == "Yes";
  plan.restoreNormal = !savedMax && currentlyMaximized;
  plan.x = toInt(sec, "XPos");
  plan.y = toInt(sec, "YPos");
  if (resizable) {
    plan.width = toInt(sec, "Width");
    plan.height = toInt(sec, "Height");
  }
  plan.maximize = savedMax && !currentlyMaximized;
  return plan;
}

}  // namespace tdx::rt
