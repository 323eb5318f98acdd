#pragma once
// The print preview of the Qt runtime: the pages of a finished report
// drawn from its page model, one page at a time, zoomed, with page
// navigation, printing through the printer dialog and saving as a PDF.
// The preview draws with the same code as the printer and the PDF writer,
// so what it shows is what comes out.
//
// It keeps a reference to the pages and owns nothing of them: closing it
// is the end of the pages for its caller (rt::Ui::preview).

#include <QDialog>
#include <QString>
#include <filesystem>
#include <string>

#include "runtime/report_page.h"

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;
class QToolButton;

namespace tdx::rt {

class PreviewPage;

class PrintPreview : public QDialog {
  Q_OBJECT

 public:
  // `defaultName`: the file name (or path) offered when saving as PDF.
  PrintPreview(const report::Document& doc, QString defaultName, QWidget* parent = nullptr);
  ~PrintPreview() override;

  int pageCount() const;
  int page() const { return page_; }  // from 0
  // 1.0 is the paper's own size on the screen.
  double zoom() const { return zoom_; }

  void setPage(int page);
  void setZoom(double zoom);
  void zoomIn();
  void zoomOut();
  void fitWidth();
  void fitPage();

  // The printer "Natisni" offers first (the one the printer setup
  // configured); without one, the system's default printer.
  void usePrinter(QPrinter* printer) { printer_ = printer; }
  // "Natisni": the printer dialog, then the chosen pages on the printer.
  void print();
  // The pages on a printer set up already (the dialog's part done); the
  // current page only when the printer asks for it. False and why.
  bool printTo(QPrinter& printer, std::string* error = nullptr);
  // "Shrani kot PDF": the file dialog, then saveTo.
  void savePdf();
  bool saveTo(const std::filesystem::path& file, std::string* error = nullptr);

  // The text beside the page number ("od 12").
  QString pageText() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  enum class Fit { None, Width, Page };
  void showPage();
  void applyFit();
  void failed(const QString& action, const std::string& why);

  const report::Document* doc_;
  QString defaultName_;
  QPrinter* printer_ = nullptr;
  int page_ = 0;
  double zoom_ = 1.0;
  Fit fit_ = Fit::Width;
  QScrollArea* scroll_ = nullptr;
  PreviewPage* view_ = nullptr;
  QSpinBox* pageBox_ = nullptr;
  QLabel* pageOf_ = nullptr;
  QComboBox* zoomBox_ = nullptr;
  QLabel* zoomLabel_ = nullptr;
  QToolButton *first_ = nullptr, *previous_ = nullptr, *next_ = nullptr, *last_ = nullptr;
};

// Shows the preview modally until the user closes it; `printer` as for
// usePrinter().
void showPrintPreview(const report::Document& doc, std::string_view defaultName, QWidget* parent = nullptr,
                      QPrinter* printer = nullptr);

}  // namespace tdx::rt
