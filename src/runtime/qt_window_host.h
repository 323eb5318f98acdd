#pragma once
// The Qt window host: builds the procedures' windows (runtime/window.h) as
// widgets. Windows opened after the main frame are children of its area,
// called forms are window-modal dialogs, and without a frame every window
// is a top-level one.

#include <QPointer>

#include "runtime/window.h"

class QMainWindow;
class QMdiArea;

namespace tdx::rt {

class QtUi;
class QtFrame;

class QtWindowHost : public WindowHost {
 public:
  explicit QtWindowHost(QtUi& ui);
  ~QtWindowHost() override;

  std::unique_ptr<Window> openWindow(const WindowSpec& spec, WindowEvents& events) override;
  std::unique_ptr<Frame> openFrame(const FrameSpec& spec, WindowEvents& events) override;

  // The frame's main window and its area of child windows (nullptr when
  // there is no open frame).
  QMainWindow* frameWindow() const;
  QMdiArea* mdiArea() const;
  void frameOpened(QtFrame* frame);

 private:
  QtUi* ui_;
  QPointer<QMainWindow> frameWindow_;
  QPointer<QMdiArea> area_;
};

}  // namespace tdx::rt
