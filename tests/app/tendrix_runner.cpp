#include "tendrix_runner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <iostream>
#include <sstream>

#include "app/commands.h"
#include "support/temp_folder.h"

namespace tdx::test {

namespace {

std::string shellQuoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

RunResult inProcess(const std::vector<std::string>& args, const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out, err;
  auto* oldIn = std::cin.rdbuf(in.rdbuf());
  auto* oldOut = std::cout.rdbuf(out.rdbuf());
  auto* oldErr = std::cerr.rdbuf(err.rdbuf());
  app::Args rest(args.begin() + 1, args.end());
  RunResult r;
  if (args[0] == "demo") r.status = app::demoCommand(rest);
  else if (args[0] == "dump") r.status = app::dumpCommand(rest);
  else if (args[0] == "load") r.status = app::loadCommand(rest);
  else if (args[0] == "run") r.status = app::runCommand(rest);
  else r.err = "the runner does not know the command " + args[0];
  std::cin.rdbuf(oldIn);
  std::cout.rdbuf(oldOut);
  std::cerr.rdbuf(oldErr);
  r.out = out.str();
  r.err = err.str();
  return r;
}

}  // namespace

RunResult runTendrix(const std::vector<std::string>& args, const std::string& input) {
  const char* binary = std::getenv("TENDRIX_BINARY");
  if (!binary || !*binary) return inProcess(args, input);
  TempFolder io("run");
  std::string cmd = shellQuoted(binary);
  for (const auto& a : args) cmd += " " + shellQuoted(a);
  writeFile(io / "in", input);
  cmd += " <" + shellQuoted((io / "in").string()) + " >" + shellQuoted((io / "out").string()) +
         " 2>" + shellQuoted((io / "err").string());
  int raw = std::system(cmd.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = readFile(io / "out");
  r.err = readFile(io / "err");
  return r;
}

}  // namespace tdx::test
