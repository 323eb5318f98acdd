#pragma once
// The window-position store: one section per procedure name ("Main",
// "brpodatki", ...) with the entries Maximize, Minimize, XPos, YPos, Width
// and Height, in an INI settings file in the working folder ("tendrix.ini").
//
// The save and restore rules are kept here, apart from any window system, so
// that both runtimes apply them alike: a window saved maximised comes back
// maximised with its normal position left to the window system; one saved
// minimised opens at its default place, not minimised.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tdx::rt {

// What a window tells about itself when it closes (dialogue units).
struct WindowState {
  bool maximized = false;
  bool minimized = false;
  int x = 0, y = 0, width = 0, height = 0;
  bool resizable = true;
};

// What a window must do after it opens.
struct RestorePlan {
  bool apply = false;          // false: nothing saved, leave the window as it is
  bool maximize = false;       // maximise at the end
  bool restoreNormal = false;  // leave a maximised state first
  std::optional<int> x, y, width, height;  // not set: left to the window system
};

class PositionStore {
 public:
  // The settings file; created on the first save.
  explicit PositionStore(std::filesystem::path file);

  void save(std::string_view procedure, const WindowState& state);
  RestorePlan restore(std::string_view procedure, bool currentlyMaximized, bool resizable) const;

  const std::filesystem::path& file() const { return file_; }

 private:
  using Section = std::map<std::string, std::string>;
  void load() const;
  void write() const;
  std::filesystem::path file_;
  mutable bool loaded_ = false;
  mutable std::map<std::string, Section, std::less<>> sections_;
};

inline constexpr const char* kSettingsFileName = "tendrix.ini";

}  // namespace tdx::rt
