// tendrix [--dir DIR]: the window program on the tender in DIR.

#include <cstdio>
#include <filesystem>

#include "app/commands.h"

namespace tdx::app {

int guiCommand(const Args& args) {
  std::filesystem::path dir = ".";
  for (std::size_t i = 0; i < args.size(); ++i)
    if (args[i] == "--dir" && i + 1 < args.size()) dir = args[++i];
  std::printf("The main frame is not built yet: the tender in %s can be read with "
              "`tendrix dump FILE --dir %s`.\n",
              dir.string().c_str(), dir.string().c_str());
  return 0;
}

}  // namespace tdx::app
