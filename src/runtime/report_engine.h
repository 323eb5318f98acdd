#pragma once
// The report engine: builds the pages of a report band by band.
//
// The procedure prints bands as it reads its records (a batch per timer
// tick); each band is laid out at once and put on the current page, so the
// engine holds nothing but the pages themselves. The pages go to the
// preview, the printer or a PDF through report_render.h.
//
// Placement: bands follow each other down the body of the page. A band
// that does not fit the rest of the body starts a new page. A group header
// waits for the band after it and goes to a new page with it rather than
// stand alone at the foot of a page. A band taller than a whole body is
// split between its lines (never clipped, so no text is lost): what does
// not fit continues at the top of the next page's body; only a box or line
// taller than a body is cut at the page's foot.
//
// The page header is put on every page when the page begins; page numbers
// in it (or in any band) are filled in when the page is finished.

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "runtime/report_band.h"
#include "runtime/report_measure.h"
#include "runtime/report_page.h"

namespace tdx::report {

// Where things go on a page, in millimetres.
struct PageLayout {
  double pageWidth = kA4Long;  // landscape A4
  double pageHeight = kA4Short;
  double left = 5;             // every band's origin from the page's left edge
  double headerTop = 6;
  double bodyTop = 46;
  double bodyHeight = 150;
};

class Report {
 public:
  // Throws NoFonts when there is no font to measure with.
  explicit Report(std::string name, PageLayout layout = {});
  ~Report();
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  // The page header and its values, for every page begun from now on.
  void setPageHeader(const Band& header, std::vector<Value> values = {});

  // Lays out one band with its values (one per field, in the order the
  // fields were added) and puts it on the pages. Throws
  // std::invalid_argument when the values do not match the band's fields.
  void print(const Band& band, std::span<const Value> values = {});
  void print(const Band& band, std::initializer_list<Value> values);

  // Ends the report: a waiting group header goes out, the last page is
  // finished. Printing afterwards throws std::logic_error.
  void finish();
  bool finished() const { return finished_; }

  int pageCount() const { return static_cast<int>(doc_.pages.size()); }
  // The millimetres of body left on the current page.
  double bodyLeft() const;
  const Document& document() const { return doc_; }
  // The pages, for the preview; finishes the report first.
  Document take();

 private:
  struct Laid;
  struct PendingNumber;
  Laid layOut(const Band& band, std::span<const Value> values);
  void place(Laid& laid);
  void split(Laid& laid);
  // Puts item `i` of a band on the current page, moved out of the band
  // unless the band is kept (the page header goes on every page).
  void put(Laid& laid, std::size_t i, double dy, bool keep = false);
  void newPage();
  void finishPage();

  PageLayout layout_;
  Document doc_;
  TextMeasure measure_;
  std::unique_ptr<Laid> header_;
  std::vector<Laid> waiting_;  // group headers kept for the next band
  std::vector<PendingNumber> numbers_;
  double used_ = 0;             // body used on the current page
  bool bandsOnPage_ = false;
  bool finished_ = false;
};

}  // namespace tdx::report
