#pragma once
// The subcommands of the `tendrix` command line. Each takes its own
// arguments (after the subcommand's name), prints UTF-8 to the terminal and
// returns the exit status: 0 success, 1 a failure it reported, 2 wrong usage
// (after printing its usage text), 3 the program was halted.

#include <string>
#include <vector>

namespace tdx::app {

using Args = std::vector<std::string>;

int demoCommand(const Args& args);  // tendrix demo DIR [--items N] [--registry N] [--offers N] [--seed S]
int dumpCommand(const Args& args);  // tendrix dump FILE [--dir DIR] [--key KEY]
int loadCommand(const Args& args);  // tendrix load FILE [--dir DIR] [--replace]
int runCommand(const Args& args);   // tendrix run PROC [--dir DIR] [--answer BUTTON]... [options]
int guiCommand(const Args& args);   // tendrix [--dir DIR]: the window program

}  // namespace tdx::app
