// The window of the offer form: one tab "Podatki" with the item, the
// medicine and the prices, top to bottom.

#include "runtime/context.h"
#include "runtime/live_binding.h"
#include "tender/controls.h"
#include "tender/offer_form.h"

namespace tdx::tender {

using namespace rt;
using namespace form;

namespace {

const Color kGreen = Color::rgb(223, 255, 239);
const Color kPink = Color::rgb(255, 223, 255);
const Color kRed = Color::rgb(255, 0, 0);
constexpr const char* kTab = "?Tab:1";
constexpr const char* kPrice = "@n15`4~ €~B";

}  // namespace

WindowSpec OfferForm::windowSpec() {
  Context& c = ctx();
  auto par = [&c](auto member) {
    return liveBinding([&c, member]() -> auto& { return c.rec<Paralela>(FileId::Paralela).*member; });
  };
  auto pod = [&c](auto member) {
    return liveBinding([&c, member]() -> auto& { return c.rec<Podatki>(FileId::Podatki).*member; });
  };

  WindowSpec w;
  w.title = "Paralele - urejanje podatkov";
  w.positionName = "upparalela";
  w.width = 420;
  w.height = 318;
  w.modal = true;
  w.statusText = action_;
  auto& cs = w.controls;
  cs.reserve(96);  // the helpers below hand out references into it

  auto action = control(ControlKind::String, kAction, {10, 4, 200, 10});
  action.text = action_;
  action.picture = "@s39";
  action.bold = true;
  action.color = kRed;
  cs.push_back(action);

  cs.push_back(control(ControlKind::Sheet, "?CurrentTab", {4, 16, 412, 276}));
  auto tab = control(ControlKind::Tab, kTab, {}, "?CurrentTab");
  tab.text = "Podatki";
  cs.push_back(tab);

  auto show = [&](std::string label, std::string picture, Binding b, Rect at) {
    auto s = bound(ControlKind::String, std::move(label), std::move(picture), std::move(b), at, kTab);
    cs.push_back(std::move(s));
  };
  auto box = [&](std::string label, Binding b, Rect at, std::string tip = {}) {
    auto t = bound(ControlKind::Text, std::move(label), "", std::move(b), at, kTab);
    t.readOnly = true;
    t.skip = true;
    t.flat = true;
    t.tip = std::move(tip);
    cs.push_back(std::move(t));
  };
  auto entry = [&](std::string label, std::string picture, Binding b, Rect at) -> ControlSpec& {
    cs.push_back(bound(ControlKind::Entry, std::move(label), std::move(picture), std::move(b), at, kTab));
    return cs.back();
  };
  auto label = [&](std::string name, std::string text, Rect at) { cs.push_back(prompt(name, text, at, kTab)); };

  label("?Prompt:Razpis", "Razpis:", {10, 34, 64, 10});
  show("?PAR:SKUP", "@n02b", par(&Paralela::skup), {76, 34, 14, 10});
  show("?PAR:POSK", "@n02b", par(&Paralela::posk), {94, 34, 14, 10});
  label("?Prompt:Sifra", "Šifra:", {118, 34, 24, 10});
  show("?PAR:SIFR", "@n08b", par(&Paralela::sifr), {144, 34, 40, 10});

  label("?Prompt:Kolicina", "Količina:", {10, 48, 64, 10});
  show("?POD:KOLIANE", "@n10.", pod(&Podatki::koliane), {76, 48, 50, 10});
  show("?POD:ENME", "@s25", pod(&Podatki::enme), {130, 48, 120, 10});

  label("?Prompt:Naziv", "Naziv:", {10, 62, 64, 10});
  box("?GLO:NAZMAT", bind(c.g().nazmat, 200), {76, 62, 332, 18});
  label("?Prompt:Oblika", "Oblika:", {10, 84, 64, 10});
  box("?GLO:OBLMAT", bind(c.g().oblmat, 250), {76, 84, 332, 18});
  label("?Prompt:Opis", "Opis:", {10, 106, 64, 10});
  box("?OMAT:OPIS", bind(c.buf(FileId::Opism).memo(), kOpismMemoMax), {76, 106, 332, 28}, "Opis materiala");

  label("?Prompt:IDZDR", "Delovna šifra:", {10, 140, 64, 10});
  entry(kCode, "@s6", par(&Paralela::idzdr), {76, 140, 36, 10}).disabled = true;
  cs.push_back(button(kLookup, "Išči", "", "", {116, 139, 36, 12}));
  cs.back().parent = kTab;
  label("?Prompt:ATC", "ATC:", {160, 140, 20, 10});
  auto atc = bound(ControlKind::String, "?RZDR:ATC", "@s10",
                   liveBinding([&c]() -> auto& { return c.rec<Zdravnet>(FileId::Zdravnet).atc; }),
                   {182, 140, 50, 10}, kTab);
  atc.skip = true;
  cs.push_back(atc);
  label("?Prompt:EAN", "Črtna koda:", {240, 140, 44, 10});
  cs.back().hidden = true;
  entry(kEan, "@s13", par(&Paralela::ean), {286, 140, 60, 10}).hidden = true;
  cs.push_back(button(kEanLookup, "Išči", "", "", {350, 139, 36, 12}));
  cs.back().parent = kTab;
  cs.back().hidden = true;

  label("?Prompt:IMEZD", "Zaščiteno ime:", {10, 154, 64, 10});
  auto& name = entry(kName, "@s100", par(&Paralela::imezd), {76, 154, 332, 10});
  name.tip = "Ime zdravila";
  name.disabled = true;
  label("?Prompt:PROIZ", "Imetnik dovoljenja:", {10, 168, 64, 10});
  auto& holder = entry(kHolder, "@s30", par(&Paralela::proiz), {76, 168, 150, 10});
  holder.tip = "Proizvajalec";
  holder.disabled = true;
  label("?Prompt:PRPAK", "Pakiranje (opis):", {10, 182, 64, 10});
  auto pack = bound(ControlKind::Text, kPack, "", par(&Paralela::prpak), {76, 182, 332, 18}, kTab);
  pack.tip = "Primarno pakiranje";
  pack.disabled = true;
  cs.push_back(pack);

  label("?Prompt:PAKIRANJE", "Pakiranje:", {10, 206, 64, 10});
  entry(kUnits, "@n6.b", par(&Paralela::pakiranje), {76, 206, 40, 10});
  label("?Prompt:EM", "Najmanjša EM:", {124, 206, 52, 10});
  entry(kUnit, "@s30", par(&Paralela::em), {178, 206, 120, 10});

  label("?Prompt:Ponudnik", "Ponudnikova cena:", {194, 222, 80, 10});
  label("?Prompt:NCENA", "Cena brez DDV (ponud./JAZMP):", {10, 234, 110, 10});
  entry(kNet, kPrice, par(&Paralela::ncena), {122, 234, 68, 10});
  auto& packPrice = entry(kPackPrice, kPrice, par(&Paralela::ncena_az), {194, 234, 68, 10});
  packPrice.background = kGreen;
  packPrice.skip = true;

  label("?Prompt:POPUST", "Popust:", {10, 248, 110, 10});
  entry(kDiscount, "@N_7`2~ %~B", par(&Paralela::popust), {122, 248, 44, 10}).tip = "% popusta";
  // The three rates stand one under another beside the prices.
  label("?Prompt:PDDV", "Stopnja DDV:", {290, 222, 60, 10});
  auto vat = bound(ControlKind::Option, kVat, "", par(&Paralela::pddv), {290, 232, 80, 44}, kTab);
  vat.options = {{" 0,00%", Decimal(0)}, {" 9,50%", *Decimal::parse("9.5")}, {"22,00%", Decimal(22)}};
  cs.push_back(vat);

  label("?Prompt:SORT", "Vrstni red (99=odstop; 8=OK):", {10, 262, 110, 10});
  cs.back().hidden = true;
  auto sort = bound(ControlKind::Spin, kSort, "@n02b", par(&Paralela::sort), {122, 262, 30, 10}, kTab);
  sort.tip = "Polje za sortiranje";
  sort.hidden = true;
  cs.push_back(sort);

  label("?Prompt:BCENA", "Cena z DDV in popustom:", {10, 262, 110, 10});
  auto& gross = entry(kGross, kPrice, par(&Paralela::bcena), {122, 262, 68, 10});
  gross.skip = true;
  gross.readOnly = true;
  auto& grossPack = entry(kGrossPack, kPrice, par(&Paralela::bcena_az), {194, 262, 68, 10});
  grossPack.background = kPink;
  grossPack.disabled = true;

  label("?Prompt:KFAKTOR", "Korekcijski faktor:", {10, 276, 110, 10});
  cs.back().hidden = true;
  entry(kFactor, "@N_10`6~ %~B", par(&Paralela::kfaktor), {122, 276, 68, 10}).hidden = true;
  auto& corrected = entry(kCorrected, kPrice, par(&Paralela::ncena_kf), {194, 276, 68, 10});
  corrected.tip = "Korigirana cena brez DDV";
  corrected.background = kPink;
  corrected.hidden = true;

  cs.push_back(button(kOk, "&Potrdi", "Potrdi.ico", "", {306, 296, 52, 16}));
  cs.back().defaultButton = true;
  cs.push_back(button(kCancel, "&Opusti", "PREKLICC.ICO", "", {362, 296, 52, 16}));

  // The history key on every data control.
  for (const char* l : {"?PAR:SKUP", "?PAR:POSK", "?PAR:SIFR", kCode, kEan, kName, kHolder, kPack, kUnits, kUnit, kNet,
                        kPackPrice, kDiscount, kCorrected, kVat, kFactor, kSort, kGrossPack, kGross})
    w.alerts.emplace_back(l, AlertKey::CtrlApostrophe);
  return w;
}

}  // namespace tdx::tender
