#include "runtime/frame.h"

namespace tdx::rt {

std::unique_ptr<Frame> WindowHost::openFrame(const FrameSpec&, WindowEvents&) { return nullptr; }

}  // namespace tdx::rt
