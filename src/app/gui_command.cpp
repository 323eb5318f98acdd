// tendrix [--dir DIR]: the window program on the tender in DIR.

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/commands.h"
#include "app/procedures.h"
#include "app/window_dragging.h"
#include "runtime/context.h"
#include "runtime/qt_icons.h"
#include "runtime/qt_program.h"
#include "runtime/qt_ui.h"
#include "runtime/report_fonts.h"

namespace tdx::app {

namespace fs = std::filesystem;

namespace {

int usage(const std::string& why) {
  std::cerr << "tendrix: " << why << "\nusage: tendrix [--dir DIR]\n";
  return 2;
}

bool set(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

// Without a screen Qt would abort with its own message; say it plainly.
bool noDisplay() {
#if defined(_WIN32) || defined(__APPLE__)
  return false;
#else
  return !set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM");
#endif
}

}  // namespace

int guiCommand(const Args& args) {
  fs::path dir = ".";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--dir") {
      if (i + 1 >= args.size()) return usage("--dir needs a folder");
      dir = args[++i];
    } else {
      return usage("unexpected argument " + args[i]);
    }
  }
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    std::cerr << "tendrix: " << dir.string() << " is not a folder\n";
    return 1;
  }
  if (noDisplay()) {
    std::cerr << "tendrix: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so the "
                 "windows cannot be shown. The batch procedures run without one: tendrix run PROC --dir "
              << dir.string() << "\n";
    return 1;
  }
  fs::path folder = fs::absolute(dir, ec);

  int argc = 1;
  char name[] = "tendrix";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  // The program ends when the frame has closed and let go of its files,
  // not when Qt sees the last window hide.
  QApplication::setQuitOnLastWindowClosed(false);
  try {
    report::requireFonts();
  } catch (const report::NoFonts& e) {
    std::cerr << "tendrix: " << e.what() << "\n";
    return 1;
  }
  QApplication::setWindowIcon(rt::iconFor("kljuc.ico", folder));
  OutlineDragging dragging;

  rt::QtUi ui;
  rt::Session session(ui, folder);
  ui.attach(session);
  rt::QtProgram program(session, ui);
  session.setProgram(&program);
  registerAllProcedures(program);

  std::uint64_t frame = 0;
  try {
    frame = program.start("Main");
  } catch (const rt::ProgramEnd& e) {
    return e.status();
  }
  if (ui.endStatus()) return *ui.endStatus();
  if (!program.running(frame)) return 0;
  program.quitWhenEnded(frame);
  int status = QApplication::exec();
  return ui.endStatus().value_or(status);
}

}  // namespace tdx::app
