#pragma once
// Runs a `tendrix` subcommand as the user would: the real binary named by
// TENDRIX_BINARY (the test entry names this build's), or, without it, the command function
// in-process with the standard streams redirected.

#include <string>
#include <vector>

namespace tdx::test {

struct RunResult {
  int status = -1;
  std::string out, err;
};

RunResult runTendrix(const std::vector<std::string>& args, const std::string& input = {});

}  // namespace tdx::test
