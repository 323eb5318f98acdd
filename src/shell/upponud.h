#pragma once
// upponud: the form in which the bidder enters its own identity (name,
// address, post office, tax number), the single record of PONUDNIK. The
// caller decides the mode (insert when the file is empty, change when it
// holds the record) and prepares the record buffer; the form also deletes
// the record. It runs on its caller's context and the caller waits.

#include <memory>

#include "records/catalogue.h"
#include "records/layouts.h"
#include "runtime/procedure.h"
#include "runtime/window.h"

namespace tdx::shell {

class BidderForm : public rt::Procedure, public rt::WindowEvents {
 public:
  BidderForm(rt::Context& ctx, const rt::Options& options);
  ~BidderForm() override;

  void begin() override;
  void requestClose() override { leave(); }
  void onEvent(rt::Window& w, const rt::Event& e) override;

 private:
  void confirm();
  void insert();
  void change();
  void remove();
  void recall(const std::string& label);
  void leave();

  // What the window shows and edits. The store may hand the context's
  // buffer new storage when it re-reads another station's version, which
  // the window's bindings must not point into; the form copies to and from
  // the buffer instead.
  Ponudnik edit_{};
  RecordBuffer& record();
  void take();  // buffer -> edit_
  void give();  // edit_ -> buffer

  int request_ = 0;
  int response_ = 0;
  RecordBuffer saved_;
  std::unique_ptr<rt::Window> win_;
  bool usesFile_ = false;
};

}  // namespace tdx::shell
