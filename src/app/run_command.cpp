// tendrix run PROC [--dir DIR] [--answer BUTTON]... [--pdf FILE] [--text] [procedure options]
//
// Runs one procedure through the headless runtime. Every message it would
// show is printed as "CAPTION: TEXT"; a question takes the next --answer,
// else its default button; a halt prints "Halt: TEXT" and exits 3.
//
// A report ends in its preview: there the pages are written to a PDF
// (--pdf FILE) and/or printed as the page model's text (--text), or else
// built and discarded.

#include <QGuiApplication>

#include <cstdio>
#include <iostream>
#include <optional>

#include "app/commands.h"
#include "app/procedures.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/procedure.h"
#include "runtime/report_page.h"
#include "runtime/report_render.h"

namespace tdx::app {

namespace {

int runUsage(const char* why) {
  if (why) std::fprintf(stderr, "tendrix run: %s\n", why);
  std::fputs("usage: tendrix run PROC [--dir DIR] [--answer BUTTON]... [--pdf FILE] [--text] [options]\n", stderr);
  return 2;
}

}  // namespace

int runCommand(const Args& args) {
  if (args.empty() || args[0].rfind("--", 0) == 0) return runUsage("no procedure named");
  std::string proc = args[0];
  std::filesystem::path dir = ".";
  rt::HeadlessUi ui;
  rt::Options options;
  std::filesystem::path pdf;
  bool text = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const auto& a = args[i];
    if (a.rfind("--", 0) != 0) return runUsage(("unexpected argument " + a).c_str());
    auto name = a.substr(2);
    std::string value;
    if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) value = args[++i];
    if (name == "dir") {
      if (value.empty()) return runUsage("--dir needs a folder");
      dir = value;
    } else if (name == "answer") {
      if (value.empty()) return runUsage("--answer needs a button");
      ui.answer(value);
    } else if (name == "pdf") {
      if (value.empty()) return runUsage("--pdf needs a file");
      pdf = std::filesystem::absolute(value);
    } else if (name == "text") {
      if (!value.empty()) return runUsage(("unexpected argument " + value).c_str());
      text = true;
    } else {
      options[name] = value;
    }
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) {
    std::fprintf(stderr, "tendrix run: %s is not a folder\n", dir.string().c_str());
    return 1;
  }
  int argc = 1;
  char name[] = "tendrix";
  char* argv[] = {name, nullptr};
  // Reports measure and draw text with the fonts of a GUI application; no
  // window is shown, so no display is needed.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  std::optional<QGuiApplication> qapp;
  if (!QCoreApplication::instance()) qapp.emplace(argc, argv);
  ui.echoTo(&std::cout);
  bool pagesLost = false;
  ui.onPreview = [&](const report::Document& doc, std::string_view) {
    if (text) std::cout << report::dump(doc) << std::flush;
    if (pdf.empty()) return;
    std::string error;
    if (report::writePdf(doc, pdf, &error)) {
      std::cout << "PDF: " << pdf.string() << '\n' << std::flush;
    } else {
      std::fprintf(stderr, "tendrix run: %s\n", error.c_str());
      pagesLost = true;
    }
  };
  rt::Session session(ui, std::filesystem::absolute(dir));
  rt::Program program(session);
  session.setProgram(&program);
  registerAllProcedures(program);
  if (!program.has(proc)) return runUsage(("no procedure " + proc).c_str());
  try {
    program.start(proc, options);
  } catch (const rt::ProgramEnd& e) {
    return e.status();
  }
  return pagesLost ? 1 : 0;
}

}  // namespace tdx::app
