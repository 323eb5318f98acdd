#include "runtime/foreign_file.h"

#include "runtime/context.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"

namespace tdx::rt {

void openWithRecovery(Context& ctx, ForeignFile& f, bool createAllowed) {
  if (f.isOpen()) return;
  const std::string name = f.messageName();
  bool ok = f.open();
  if (!ok && f.error().code == err::FileLocked) {
    f.send("Recover=5");
    ok = f.open();
  }
  if (ok || f.error().code == err::AlreadyOpen) return;
  switch (f.error().code) {
    case err::FileNotFound:
      if (!createAllowed || !f.create()) {
        standardWarning(ctx, 4, f.error(), name);
        return;
      }
      if (!f.open()) standardWarning(ctx, 5, f.error(), name);
      return;
    case err::InvalidFile:
      standardWarning(ctx, 1, f.error(), name);
      return;
    default:
      break;
  }
  standardWarning(ctx, 30, f.error(), name);
  ctx.ui().haltBox("Disk Error");
}

}  // namespace tdx::rt
