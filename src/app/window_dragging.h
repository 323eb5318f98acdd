#pragma once
// While the program runs, windows are dragged as outlines, not with their
// full contents (Windows only; elsewhere nothing changes). The desktop's
// setting comes back when the object goes, also when the program ends by a
// halt. The change is broadcast but not written to the user's profile, so
// a program that is killed cannot leave the setting changed for good.

namespace tdx::app {

class OutlineDragging {
 public:
  OutlineDragging();
  ~OutlineDragging();
  OutlineDragging(const OutlineDragging&) = delete;
  OutlineDragging& operator=(const OutlineDragging&) = delete;

 private:
  [[maybe_unused]] bool wasFull_ = false;  // only Windows has the setting
};

}  // namespace tdx::app
