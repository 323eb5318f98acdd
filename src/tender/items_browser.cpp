#include "tender/items_browser.h"

#include "records/cp1250.h"
#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/stdfiles.h"
#include "runtime/typed_character.h"
#include "runtime/ui.h"

namespace tdx::tender {

using namespace rt;
using namespace items;

namespace {
constexpr FileId kFiles[] = {FileId::Paralela, FileId::Podatki, FileId::Pskupine};
}  // namespace

std::unique_ptr<Procedure> makeBrpodatki(Context& ctx, const Options& options) {
  return std::make_unique<ItemsBrowser>(ctx, options);
}

ItemsBrowser::ItemsBrowser(Context& ctx, const Options& options) : Procedure(ctx, options) {}

ItemsBrowser::~ItemsBrowser() = default;

void ItemsBrowser::begin() {
  request_ = ctx().globalRequest;
  ctx().globalRequest = req::None;
  ctx().globalResponse = resp::None;
  for (FileId id : kFiles) useFile(ctx(), id);
  used_ = true;

  subgroups_ = std::make_unique<RecordDropList>(ctx(), subgroupSpec());
  subgroups_->onError = [this](int, const err::Error& e) { listError({35, e}, "pskupine"); };
  items_ = std::make_unique<RecordBrowse>(ctx(), itemSpec());
  items_->onCurrent = [this](const BrowseRow* row) { itemBecameCurrent(row); };
  items_->onError = [this](const BrowseError& e) { listError(e, "podatki"); };
  offers_ = std::make_unique<RecordBrowse>(ctx(), offerSpec());
  offers_->onCurrent = [this](const BrowseRow* row) { offerBecameCurrent(row); };
  offers_->onError = [this](const BrowseError& e) { listError(e, "paralela"); };
  g().pskup = 1;

  WindowHost* host = ui().windows();
  if (!host) {
    leave(nullptr);
    return;
  }
  window_ = host->openWindow(windowSpec(), *this);
}

void ItemsBrowser::listError(const BrowseError& e, const char* file) {
  if (e.warning == 36) {
    standardWarning(ctx(), 36, e.error);
    return;
  }
  standardWarning(ctx(), 35, e.error, file);
  failed_ = true;
}

// ---------------------------------------------------------------- rows

void ItemsBrowser::itemBecameCurrent(const BrowseRow* row) {
  if (!row) {
    haveItem_ = false;
    nazmat1_.clear();
    oblmat1_.clear();
    return;
  }
  const auto& p = row->record.as<Podatki>();
  auto& gl = g();
  gl.nazmat = std::string(p.nazi.view());
  gl.oblmat = std::string(p.faob.view());
  gl.sifpod = std::to_string(p.sifr.get());
  gl.psk = p.skup;
  gl.pps = p.posk;
  // The offers browser follows the item's lot as well (it cannot find the
  // item's offers without it).
  gl.itemLot = p.sklop;
  nazmat1_ = gl.nazmat;
  oblmat1_ = gl.oblmat;
  item_ = ItemKey{p.skup, p.posk, p.sklop, p.sifr};
  haveItem_ = true;
}

void ItemsBrowser::offerBecameCurrent(const BrowseRow* row) {
  odstop_ = row && row->record.as<Paralela>().sort == kWithdrawnSort ? kWithdrawnText : "";
}

// The offers of the highlighted item: read again only when the item is
// another one (the list compares its range).
void ItemsBrowser::fillOffers() { offers_->refresh(); }

void ItemsBrowser::updateStates(Window& w) {
  bool noOffers = offers_->empty();
  w.setEnabled(kChange, !noOffers);
  w.setEnabled(kDelete, !noOffers);
  // Without an item an offer would go to the item last published in the
  // shared variables, which the lists no longer show.
  w.setEnabled(kInsert, haveItem_);
  w.setEnabled(kLocator, !items_->empty());
  w.setEnabled(kPrint, ctx().session().program().has("rescenami"));
}

void ItemsBrowser::refresh(Window& w) {
  items_->refresh();
  if (!failed_) fillOffers();
  if (failed_) {
    leave(&w);
    return;
  }
  updateStates(w);
  w.display();
}

// ---------------------------------------------------------------- locators

void ItemsBrowser::subgroupChosen(Window& w) {
  const BrowseRow* row = subgroups_->currentRow();
  if (!row) return;
  g().pskup = row->record.as<Pskupine>().posk;
  refresh(w);
}

void ItemsBrowser::locate(Window& w) {
  auto text = cp1250::trimRight(locator_);
  if (text.empty()) return;
  items_->locate(text);
  locator_.clear();
  w.focus(kItems);
  if (!failed_) fillOffers();
  if (failed_) {
    leave(&w);
    return;
  }
  updateStates(w);
  w.display();
}

void ItemsBrowser::handOver(Window& w, char32_t c) {
  auto bytes = characterBytes(c);
  if (!bytes || items_->empty()) return;
  locator_ = *bytes;
  w.display(kLocator);
  w.focus(kLocator);
}

// A typed character on the offer list steps through the offers whose gross
// price, as plain text, begins with it; otherwise it goes to the first
// offer priced at least the digit's value.
void ItemsBrowser::priceStep(char32_t c) {
  const BrowseRow* row = offers_->currentRow();
  auto bytes = characterBytes(c);
  if (!row || !bytes) return;
  auto begins = [&](const BrowseRow* r) {
    return r && cp1250::startsWithNoCase(r->record.as<Paralela>().bcena.get().toExactString(), *bytes);
  };
  if (begins(row)) {
    offers_->down();
    const BrowseRow* next = offers_->currentRow();
    if (next != nullptr && next->position() != row->position() && begins(next)) return;
  }
  RecordBuffer from(FileId::Paralela);
  from.clear();
  auto& p = from.as<Paralela>();
  p.skup = item_.group;
  p.posk = item_.subgroup;
  p.sklop = item_.lot;
  p.sifr = item_.code;
  p.bcena = c >= '0' && c <= '9' ? Decimal(int(c - '0')) : Decimal(0);
  p.sort = 0;
  offers_->locateFrom(from);
}

// ---------------------------------------------------------------- buttons

void ItemsBrowser::add(Window& w) {
  if (!haveItem_) return;
  items_->makeCurrent();
  addOffer(ctx(), *offers_, item_);
  w.focus(kOffers);
  refresh(w);
}

void ItemsBrowser::change(Window& w) {
  if (offers_->empty()) return;
  items_->makeCurrent();
  changeOffer(ctx(), *offers_);
  refresh(w);
}

void ItemsBrowser::remove(Window& w) {
  if (offers_->empty()) return;
  items_->makeCurrent();
  deleteOffer(ctx(), *offers_);
  refresh(w);
}

void ItemsBrowser::bidder(Window& w) {
  bool opened = ctx().uses(FileId::Ponudnik) == 0;
  if (opened) useFile(ctx(), FileId::Ponudnik);
  auto& f = ctx().file(FileId::Ponudnik);
  auto& buf = ctx().buf(FileId::Ponudnik);
  buf.clear();
  bool found = f.setFileOrder() && f.next(buf);
  items_->makeCurrent();
  ctx().globalRequest = found ? req::Change : req::Insert;
  ctx().session().program().call("upponud", ctx());
  if (opened) releaseFile(ctx(), FileId::Ponudnik);
  refresh(w);
}

void ItemsBrowser::startPrinting(Window& w, const char* procedure) {
  items_->makeCurrent();
  offers_->makeCurrent();
  ctx().session().program().start(procedure);
  refresh(w);
}

void ItemsBrowser::leave(Window* w) {
  if (ended()) return;
  if (w && w->isOpen()) w->close();
  if (used_)
    for (FileId id : kFiles) releaseFile(ctx(), id);
  used_ = false;
  ctx().globalResponse = request_ == req::Select ? resp::Cancelled : resp::Completed;
  end();
}

// ---------------------------------------------------------------- events

void ItemsBrowser::onEvent(Window& w, const Event& e) {
  if (ended()) return;
  using K = Event::Kind;
  switch (e.kind) {
    case K::Opened:
      // The drop list shows the group's subgroups; the items of subgroup 1
      // come first, whatever entry it shows.
      if (!subgroups_->load() || failed_) {
        leave(&w);
        return;
      }
      if (subgroups_->empty()) ctx().buf(FileId::Pskupine).clear();
      items_->reload();
      refresh(w);
      break;
    case K::GainFocus:
    case K::Resized:
    case K::Posted:
      refresh(w);
      break;
    case K::Accepted:
    case K::NewSelection:
      if (e.label == kSubgroups) {
        subgroupChosen(w);
      } else if (e.label == kLocator && e.kind == K::Accepted) {
        locate(w);
      } else if (e.label == kItems) {
        fillOffers();
        if (failed_) return leave(&w);
        updateStates(w);
        w.display();
      } else if (e.label == kOffers) {
        updateStates(w);
        w.display();
      } else if (e.label == kSheet) {
        refresh(w);
      }
      break;
    case K::Pressed:
      if (e.label == kInsert) add(w);
      else if (e.label == kChange) change(w);
      else if (e.label == kDelete) remove(w);
      else if (e.label == kBidder) bidder(w);
      else if (e.label == kParallels) startPrinting(w, "brparalela");
      else if (e.label == kPrint) startPrinting(w, "rescenami");
      else if (e.label == kClose) leave(&w);
      break;
    case K::Alert:
      if (e.label == kOffers) {
        switch (e.key) {
          case AlertKey::Insert: add(w); break;
          case AlertKey::Delete: remove(w); break;
          case AlertKey::CtrlEnter:
          case AlertKey::DoubleClick: change(w); break;
          case AlertKey::Character:
            priceStep(e.character);
            w.display();
            break;
          default: break;
        }
      } else if (e.label == kItems && e.key == AlertKey::Character) {
        handOver(w, e.character);
      }
      break;
    case K::CloseRequest:
      leave(&w);
      break;
    default:
      break;
  }
}

}  // namespace tdx::tender
