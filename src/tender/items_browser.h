#pragma once
// brpodatki: the tender items of one subgroup in the upper list and the
// offers of the highlighted item in the lower one. Moving the cursor
// publishes the item in the shared selection variables; offers are added,
// changed and deleted through the offer form.

#include <memory>
#include <string>

#include "runtime/procedure.h"
#include "runtime/record_browse.h"
#include "runtime/record_droplist.h"
#include "runtime/window.h"
#include "tender/offer_calls.h"

namespace tdx::tender {

std::unique_ptr<rt::Procedure> makeBrpodatki(rt::Context& ctx, const rt::Options& options);

namespace items {
inline constexpr const char* kSheet = "?CURRENTTAB";
inline constexpr const char* kSubgroups = "?PSK:POSK";
inline constexpr const char* kLocator = "?POD:NAZI";
inline constexpr const char* kItems = "?BROWSE:1";
inline constexpr const char* kOffers = "?LIST";
inline constexpr const char* kInsert = "?INSERT";
inline constexpr const char* kChange = "?CHANGE";
inline constexpr const char* kDelete = "?DELETE";
inline constexpr const char* kBidder = "?PRIJAVITELJ";
inline constexpr const char* kParallels = "?PARALELE";
inline constexpr const char* kPrint = "?IZPIS1";
inline constexpr const char* kClose = "?CLOSE";
inline constexpr const char* kWithdrawn = "?LOC:ODSTOP";
inline constexpr const char* kWithdrawnText = "Odstop od ponudbe!";  // Windows-1250 and UTF-8 alike
}  // namespace items

class ItemsBrowser : public rt::Procedure, public rt::WindowEvents {
 public:
  ItemsBrowser(rt::Context& ctx, const rt::Options& options);
  ~ItemsBrowser() override;

  void begin() override;
  void onEvent(rt::Window& w, const rt::Event& e) override;
  void requestClose() override { leave(window_.get()); }

 private:
  rt::WindowSpec windowSpec();
  rt::RecordBrowseSpec itemSpec();
  rt::RecordBrowseSpec offerSpec();
  rt::RecordDropListSpec subgroupSpec();
  void itemBecameCurrent(const rt::BrowseRow* row);
  void offerBecameCurrent(const rt::BrowseRow* row);
  void fillOffers();
  void refresh(rt::Window& w);
  void updateStates(rt::Window& w);
  void subgroupChosen(rt::Window& w);
  void locate(rt::Window& w);
  void handOver(rt::Window& w, char32_t c);
  void priceStep(char32_t c);
  void add(rt::Window& w);
  void change(rt::Window& w);
  void remove(rt::Window& w);
  void bidder(rt::Window& w);
  void startPrinting(rt::Window& w, const char* procedure);
  void listError(const rt::BrowseError& e, const char* file);
  void leave(rt::Window* w);

  int request_ = 0;
  bool used_ = false;
  bool failed_ = false;  // a list could not be read: the window closes
  ItemKey item_;         // the highlighted item (none when the list is empty)
  bool haveItem_ = false;
  std::string nazmat1_, oblmat1_, odstop_, locator_;  // window locals, Windows-1250
  std::unique_ptr<rt::RecordDropList> subgroups_;
  std::unique_ptr<rt::RecordBrowse> items_;
  std::unique_ptr<rt::RecordBrowse> offers_;
  std::unique_ptr<rt::Window> window_;  // after the lists: it goes first
};

}  // namespace tdx::tender
