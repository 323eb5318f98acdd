#pragma once
// One page of the print preview: the paper, drawn from the page model at
// the preview's zoom, on the grey of the scroll area around it.

#include <QWidget>

#include "runtime/report_page.h"

namespace tdx::rt {

class PreviewPage : public QWidget {
  Q_OBJECT

 public:
  PreviewPage(const report::Document& doc, QWidget* parent = nullptr);

  void showPage(int page, double zoom);
  // The paper's size on the screen at `zoom`, in pixels.
  QSize paperSize(double zoom) const;
  // The margin of grey around the paper.
  static constexpr int kMargin = 12;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const report::Document* doc_;
  int page_ = 0;
  double zoom_ = 1.0;
};

}  // namespace tdx::rt
