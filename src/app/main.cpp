#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/commands.h"

namespace {

void usage() {
  std::fputs(
      "usage: tendrix [--dir DIR]                 open the program on the tender in DIR (default: here)\n"
      "       tendrix demo DIR [--items N] [--registry N] [--offers N] [--seed S]\n"
      "       tendrix dump FILE [--dir DIR] [--key KEY]\n"
      "       tendrix load FILE [--dir DIR] [--replace]\n"
      "       tendrix run PROC [--dir DIR] [--answer BUTTON]... [options]\n",
      stderr);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // A file over the size limit must fail the write with an error the
  // procedure reports, not kill the program in the middle of it.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  tdx::app::Args rest;
  std::string_view command = argc > 1 ? std::string_view(argv[1]) : std::string_view();
  bool sub = command == "demo" || command == "dump" || command == "load" || command == "run";
  for (int i = sub ? 2 : 1; i < argc; ++i) rest.emplace_back(argv[i]);
  if (command == "demo") return tdx::app::demoCommand(rest);
  if (command == "dump") return tdx::app::dumpCommand(rest);
  if (command == "load") return tdx::app::loadCommand(rest);
  if (command == "run") return tdx::app::runCommand(rest);
  if (command == "-h" || command == "--help" || command == "help") {
    usage();
    return 0;
  }
  if (!command.empty() && command.substr(0, 2) != "--") {
    usage();
    return 2;
  }
  return tdx::app::guiCommand(rest);
}
