#pragma once
// pcenik: copies the tender items, the bidder and the offers into a folder
// the user chooses, from which they are handed to the national
// e-procurement portal eJN. It needs the items file to itself: while any
// other window or program holds it, it refuses to start.
//
// Command line: `tendrix run pcenik --to DIR` chooses DIR and presses OK.

#include <memory>
#include <string>

#include "records/catalogue.h"
#include "runtime/procedure.h"
#include "runtime/window.h"

namespace tdx::shell {

class EjnTransfer : public rt::Procedure, public rt::WindowEvents {
 public:
  EjnTransfer(rt::Context& ctx, const rt::Options& options);
  ~EjnTransfer() override;

  void begin() override;
  void requestClose() override { finish(); }
  void onEvent(rt::Window& w, const rt::Event& e) override;

 private:
  void chooseFolder();
  void copyAll();
  // Shows the progress text, then copies; false after the failure message.
  bool copy(FileId id, const char* progress, const char* failure);
  void finish();

  int response_ = 0;
  bool holdsItems_ = false;
  std::unique_ptr<rt::Window> win_;
};

}  // namespace tdx::shell
