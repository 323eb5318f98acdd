#include "runtime/qt_window_host.h"

#include <QMainWindow>
#include <QMdiArea>

#include "runtime/qt_frame.h"
#include "runtime/qt_window.h"

namespace tdx::rt {

QtWindowHost::QtWindowHost(QtUi& ui) : ui_(&ui) {}

QtWindowHost::~QtWindowHost() = default;

std::unique_ptr<Window> QtWindowHost::openWindow(const WindowSpec& spec, WindowEvents& events) {
  return std::make_unique<QtWindow>(*ui_, *this, spec, events);
}

std::unique_ptr<Frame> QtWindowHost::openFrame(const FrameSpec& spec, WindowEvents& events) {
  return std::make_unique<QtFrame>(*ui_, *this, spec, events);
}

void QtWindowHost::frameOpened(QtFrame* frame) {
  frameWindow_ = frame->window();
  area_ = frame->area();
}

QMainWindow* QtWindowHost::frameWindow() const {
  return frameWindow_ && frameWindow_->isVisible() ? frameWindow_.data() : nullptr;
}

QMdiArea* QtWindowHost::mdiArea() const { return frameWindow() ? area_.data() : nullptr; }

}  // namespace tdx::rt
