#include "tender/offer_form.h"

#include <cstring>

#include "records/fields.h"
#include "runtime/context.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"

namespace tdx::tender {

using namespace rt;
using namespace form;

namespace {

constexpr const char* kHistory = "upparalela.history";
constexpr FileId kFiles[] = {FileId::Opism, FileId::Paralela, FileId::Podatki, FileId::Zdravnet};

bool isOneOf(const std::string& label, std::initializer_list<const char*> labels) {
  for (const char* l : labels)
    if (label == l) return true;
  return false;
}

}  // namespace

std::unique_ptr<Procedure> makeUpparalela(Context& ctx, const Options& options) {
  return std::make_unique<OfferForm>(ctx, options);
}

OfferForm::OfferForm(Context& ctx, const Options& options) : Procedure(ctx, options) {}

OfferForm::~OfferForm() = default;

Paralela& OfferForm::offer() { return ctx().rec<Paralela>(FileId::Paralela); }

void OfferForm::stop(const std::string& text) { ui().message(Message{"Napaka", text, Icon::Stop, {btn::Ok}, 0}); }

// ---------------------------------------------------------------- opening

void OfferForm::prime() {
  Paralela& p = offer();
  p.pakiranje = 1;
  p.skup = g().psk;
  p.posk = g().pps;
  p.sifr = std::int32_t(std::strtol(g().sifpod.c_str(), nullptr, 10));
  p.pddv = *Decimal::parse("9.5");
}

void OfferForm::begin() {
  request_ = ctx().globalRequest;
  ctx().globalRequest = req::None;
  ctx().globalResponse = resp::None;
  response_ = resp::Cancelled;

  for (FileId id : kFiles) useFile(ctx(), id);
  used_ = true;

  compare_ = ctx().buf(FileId::Paralela);
  if (request_ == req::Insert) {
    prime();
    compare_ = ctx().buf(FileId::Paralela);
  }
  Paralela& p = offer();
  g().psk = p.skup;
  g().pps = p.posk;
  ctx().rec<Zdravnet>(FileId::Zdravnet).atc.clear();
  if (p.kfaktor.isZero()) p.kfaktor = 1;
  special_ = p.skup == 28 && (p.posk == 28 || p.posk == 29);
  if (price::formAppliesCap(p)) {
    // At opening a missing medicine is not reported, and a stored 0 stays.
    auto reg = registryRecord();
    if (reg && reg->ncena.get().sign() >= 0) price::recalculateForForm(p, &*reg, price::CapForm::Opening);
  }

  auto& history = ctx().local<OfferHistory>(kHistory);
  if (!history.ready) {
    RecordBuffer blank(FileId::Paralela);
    blank.clear();
    history.offer = blank.as<Paralela>();
    history.ready = true;
  }

  action_ = request_ == req::Insert   ? "Stavek bo dodan"
            : request_ == req::Change ? "Stavek bo spremenjen"
            : request_ == req::Delete ? "Za brisanje pritisni gumb Potrdi"
                                      : "";
  WindowHost* host = ui().windows();
  if (!host) {
    leave(nullptr);
    return;
  }
  window_ = host->openWindow(windowSpec(), *this);
}

// The item and its description, read again for the offer as it stands.
void OfferForm::showItem(Window& w) {
  const Paralela& p = offer();
  RecordBuffer item(FileId::Podatki);
  item.clear();
  auto& i = item.as<Podatki>();
  i.skup = p.skup;
  i.posk = p.posk;
  i.sklop = p.sklop;
  i.sifr = p.sifr;
  if (ctx().file(FileId::Podatki).get(Key::POD_KSKLOP, item)) ctx().buf(FileId::Podatki) = item;
  else ctx().buf(FileId::Podatki).clear();

  RecordBuffer text(FileId::Opism);
  text.clear();
  text.as<Opism>().sifr = ctx().rec<Podatki>(FileId::Podatki).sifr.get();
  if (ctx().file(FileId::Opism).get(Key::OMAT_KSIFRA, text)) ctx().buf(FileId::Opism) = text;
  else ctx().buf(FileId::Opism).clear();
  w.display();
}

std::optional<Zdravnet> OfferForm::registryRecord() {
  RecordBuffer probe(FileId::Zdravnet);
  probe.clear();
  probe.as<Zdravnet>().idzdr = offer().idzdr.view();
  if (!ctx().file(FileId::Zdravnet).get(Key::RZDR_KIDZDR, probe)) return std::nullopt;
  ctx().buf(FileId::Zdravnet) = probe;
  return probe.as<Zdravnet>();
}

// ---------------------------------------------------------------- prices

bool OfferForm::vatValid() {
  Decimal v = offer().pddv.get();
  return v == *Decimal::parse("9.5") || v == Decimal(22) || v.isZero();
}

bool OfferForm::recalculate(Window& w, bool vatCheck) {
  Paralela& p = offer();
  price::FormResult r;
  if (price::formAppliesCap(p)) {
    auto reg = registryRecord();
    r = price::recalculateForForm(p, reg ? &*reg : nullptr, price::CapForm::Full);
    bool missing = r.registry == price::Registry::NotFound || r.registry == price::Registry::NegativePrice;
    if (missing && !(confirming_ && registryWarned_)) {
      registryWarned_ = true;
      stop("Ne najdem zdravila z navedeno delovno šifro!");
    }
  } else {
    r = price::recalculateForForm(p, nullptr, price::CapForm::Full);
  }
  if (r.overflow) {
    // The offer was left as it was; a price that cannot be stored must not
    // be confirmed as if it had been computed.
    w.display();
    stop("Izračunana cena " + valueText(r.overflow->value, r.overflow->places) + " ne gre v polje " +
         r.overflow->field + "! Popravite ceno.");
    w.focus(kPackPrice);
    return false;
  }
  w.display();
  if (vatCheck && !vatValid()) {
    stop("Nepravilna stopnja DDV! Izberite pravilno stopnjo!");
    w.focus(kVat);
    return false;
  }
  return true;
}

void OfferForm::accepted(Window& w, const Event& e) {
  if (!isOneOf(e.label, {kUnits, kUnit, kNet, kPackPrice, kDiscount, kVat, kFactor, kSort})) return;
  if (e.label == kFactor && !e.acceptingAll && offer().kfaktor.get() > Decimal(2)) {
    standardWarning(ctx(), 8, {}, "Korekcijski faktor za dogovorne cene", "2");
    w.focus(kFactor);
    return;
  }
  if ((e.label == kPackPrice || e.label == kVat) && !e.acceptingAll) showItem(w);
  recalculate(w, true);
}

// ---------------------------------------------------------------- medicine

void OfferForm::pick(Window& w) {
  ctx().globalRequest = req::Select;
  ctx().globalResponse = resp::None;
  ctx().session().program().call("brzdravnet", ctx());
  if (ctx().globalResponse == resp::Completed) {
    const Zdravnet& z = ctx().rec<Zdravnet>(FileId::Zdravnet);
    Paralela& p = offer();
    p.imezd = z.imeregistr.view();
    p.proiz = z.proizn.view();
    p.prpak = z.pakiranje.view();
    p.ean = z.crtnakoda.view();
    p.idzdr = z.idzdr.view();
    p.ncena = z.ncena.get();
  }
  showItem(w);
  recalculate(w, false);
}

void OfferForm::recall(Window& w, const std::string& label) {
  if (label.rfind("?PAR:", 0) != 0) return;
  const FileDef& d = fileDef(FileId::Paralela);
  int f = d.findField(label.substr(5));
  if (f < 0) return;
  const auto& fd = d.fields[std::size_t(f)];
  const auto& history = ctx().local<OfferHistory>(kHistory).offer;
  std::memcpy(ctx().buf(FileId::Paralela).data() + fd.offset,
              reinterpret_cast<const std::uint8_t*>(&history) + fd.offset, std::size_t(fd.size));
  w.display(label);
}

// ---------------------------------------------------------------- saving

void OfferForm::confirm(Window& w) {
  if (request_ == req::Delete) {
    // The messages may show; they do not keep the offer from going.
    recalculate(w, true);
    save(w);
    return;
  }
  confirming_ = true;
  registryWarned_ = false;
  bool passed = w.acceptAll() && !ended();
  if (passed) passed = recalculate(w, true);
  if (passed && price::formAppliesCap(offer()) && !registryRecord()) {
    w.focus(kCode);
    stop("Izberite pravilno delovno šifro!");
    passed = false;
  }
  confirming_ = false;
  if (passed) save(w);
}

void OfferForm::save(Window& w) {
  auto& file = ctx().file(FileId::Paralela);
  auto& buf = ctx().buf(FileId::Paralela);
  ctx().local<OfferHistory>(kHistory).offer = offer();
  if (request_ == req::Insert) {
    if (!file.add(buf)) {
      standardWarning(ctx(), 14, file.error());
      return;
    }
    response_ = resp::Completed;
    leave(&w);
    return;
  }
  if (request_ == req::Change) {
    if (compare_ && buf == *compare_) {
      response_ = resp::Completed;
      leave(&w);
      return;
    }
    for (;;) {
      int r = updateRecord(ctx(), FileId::Paralela, true);
      if (r == 0) {
        response_ = resp::Completed;
        leave(&w);
        return;
      }
      if (r == 2) {
        // Warning 38 was shown: the other station's version stays on the
        // screen and the history key recalls the bidder's values.
        showItem(w);
        return;
      }
      Answer a = standardWarning(ctx(), 16, file.error());
      if (a == Answer::Yes) continue;
      if (a == Answer::No) {
        response_ = resp::Cancelled;
        leave(&w);
      }
      return;
    }
  }
  if (request_ == req::Delete) {
    for (;;) {
      if (deleteRecord(ctx(), FileId::Paralela) == 0) {
        response_ = resp::Completed;
        leave(&w);
        return;
      }
      Answer a = standardWarning(ctx(), 18, file.error());
      if (a == Answer::Yes) continue;
      if (a == Answer::No) {
        response_ = resp::Cancelled;
        leave(&w);
      }
      return;
    }
  }
}

void OfferForm::leave(Window* w) {
  if (ended()) return;
  if (w && w->isOpen()) w->close();
  if (used_)
    for (FileId id : kFiles) releaseFile(ctx(), id);
  used_ = false;
  ctx().globalResponse = response_ == resp::None ? resp::Cancelled : response_;
  end();
}

// ---------------------------------------------------------------- events

void OfferForm::onEvent(Window& w, const Event& e) {
  if (ended()) return;
  using K = Event::Kind;
  switch (e.kind) {
    case K::Opened:
      if (special_) {
        for (const char* l : {kCode, kEan, kLookup, kEanLookup}) w.setEnabled(l, false);
        for (const char* l : {kName, kHolder, kPack}) w.setEnabled(l, true);
      }
      w.setStatus(action_);
      showItem(w);
      break;
    case K::GainFocus:
      showItem(w);
      break;
    case K::Accepted:
      accepted(w, e);
      break;
    case K::Pressed:
      if (e.label == kOk) {
        confirm(w);
      } else if (e.label == kCancel) {
        response_ = resp::Cancelled;
        leave(&w);
      } else if (e.label == kLookup || e.label == kEanLookup) {
        pick(w);
      }
      break;
    case K::Alert:
      if (e.key == AlertKey::CtrlApostrophe) recall(w, e.label);
      break;
    case K::CloseRequest:
      leave(&w);
      break;
    default:
      break;
  }
}

}  // namespace tdx::tender
