// The print preview of a finished report: the runtime's own preview window
// (qt_preview_window.h), printing on the printer the setup configured.

#include "runtime/qt_preview_window.h"
#include "runtime/qt_ui.h"

namespace tdx::rt {

void QtUi::preview(const report::Document& doc, std::string_view defaultName) {
  if (endStatus_) return;
  showPrintPreview(doc, defaultName, dialogParent(), &printer());
}

}  // namespace tdx::rt
