// The window of the items browser and its three lists: subgroups, items,
// offers, with their columns, pictures, widths and styles.

#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/live_binding.h"
#include "tender/controls.h"
#include "tender/items_browser.h"

namespace tdx::tender {

using namespace rt;
using namespace items;

namespace {

const FileDef& podatki() { return fileDef(FileId::Podatki); }
const FileDef& paralela() { return fileDef(FileId::Paralela); }

// Style 1 light green, 2 the default colours, 3 light pink; all in MS Sans
// Serif 9.
std::vector<RowStyle> rowStyles() {
  RowStyle green{Color::rgb(223, 255, 239), {}, "MS Sans Serif", 9, false};
  RowStyle plain{{}, {}, "MS Sans Serif", 9, false};
  RowStyle pink{Color::rgb(255, 223, 255), {}, "MS Sans Serif", 9, false};
  return {green, plain, pink};
}

}  // namespace

RecordBrowseSpec ItemsBrowser::itemSpec() {
  const auto& d = podatki();
  RecordBrowseSpec s{FileId::Podatki, Key::POD_KNAZI};
  int posk = d.findField("POSK");
  s.where = [this, posk] { return std::vector<Condition>{Condition::eq(posk, g().pskup)}; };
  s.columns = {
      RecordColumn::field(d, "POSK", "@n02b", column("SK", 20, Align::Center)),
      RecordColumn::field(d, "SIFR", "@n08b", column("Šifra", 42, Align::Center)),
      RecordColumn::field(d, "NAZI", "@s200", column("Naziv", 150, Align::Left, 2)),
      RecordColumn::field(d, "FAOB", "@s250", column("Farmacevtska oblika", 300, Align::Left, 2)),
      RecordColumn::field(d, "ENME", "@s30", column("EM", 40, Align::Left, 1, Align::Center)),
      RecordColumn::field(d, "KOLI", "@n10.b", column("Letna kol.", 35, Align::Right, 1, Align::Center)),
      RecordColumn::field(d, "KOLIANE", "@n10.b", column("KČ v obd.", 35, Align::Right, 1, Align::Center)),
      RecordColumn::blank("@s1", column("", 4, Align::Left, 0, std::nullopt, true)),
  };
  // The item's subgroup record travels with the row (PSK:POSK of the row).
  s.joins.push_back({FileId::Pskupine, Key::PSK_KSKUP, [](const RecordBuffer& item, RecordBuffer& probe) {
                       probe.as<Pskupine>().skup = item.as<Podatki>().skup.get();
                       probe.as<Pskupine>().posk = item.as<Podatki>().posk.get();
                     }});
  s.styles = rowStyles();
  // Odd positions on the page the default colours, even ones light green.
  s.styleOf = [](int pos, const BrowseRow&) { return pos % 2 == 0 ? 1 : 0; };
  s.quickScan = true;
  return s;
}

RecordBrowseSpec ItemsBrowser::offerSpec() {
  const auto& d = paralela();
  RecordBrowseSpec s{FileId::Paralela, Key::PAR_KSKLOP};
  int skup = d.findField("SKUP"), posk = d.findField("POSK"), sklop = d.findField("SKLOP"), sifr = d.findField("SIFR");
  s.where = [this, skup, posk, sklop, sifr] {
    // Without an item the range holds nothing: item codes are never negative.
    if (!haveItem_) return std::vector<Condition>{Condition::eq(sifr, -1)};
    return std::vector<Condition>{Condition::eq(skup, item_.group), Condition::eq(posk, item_.subgroup),
                                  Condition::eq(sklop, item_.lot), Condition::eq(sifr, item_.code)};
  };
  s.columns = {
      RecordColumn::blank("@s1", column(">", 5, Align::Left)),
      RecordColumn::field(d, "SIFR", "@n08b", column("Šifra", 42, Align::Center)),
      RecordColumn::field(d, "IDZDR", "@s6", column("IDZDR", 30, Align::Center)),
      RecordColumn::field(d, "IMEZD", "@s100", column("Ime zdravila", 168, Align::Left, 1)),
      RecordColumn::field(d, "PROIZ", "@s30", column("Naziv imetnika dovoljenja", 120, Align::Left, 1)),
      RecordColumn::field(d, "NCENA", "@n15`4~ €~B", column("Neto cena (pak)", 60, Align::Right, 2, Align::Center)),
      RecordColumn::field(d, "PAKIRANJE", "@n6.b", column("PAK.", 25, Align::Right, 2, Align::Center)),
      RecordColumn::field(d, "POPUST", "@n_6`2~%~", column("Popust", 28, Align::Right, 2, Align::Center)),
      RecordColumn::field(d, "PDDV", "@n_6`2~%~", column("DDV", 28, Align::Right, 1, Align::Center)),
      RecordColumn::field(d, "BCENA", "@n15`4~ €~B", column("Cena z DDV(pak)", 60, Align::Right, 2)),
      RecordColumn::field(d, "SORT", "@n02b", column("Sort", 20, Align::Center)),
      RecordColumn::field(d, "KFAKTOR", "@n_8`6b", column("KF", 38, Align::Left, 1)),
      RecordColumn::blank("@s1", column("", 4, Align::Left)),
  };
  s.styles = rowStyles();
  // Odd positions the default colours, even ones light pink.
  s.styleOf = [](int pos, const BrowseRow&) { return pos % 2 == 0 ? 1 : 2; };
  return s;
}

RecordDropListSpec ItemsBrowser::subgroupSpec() {
  const auto& d = fileDef(FileId::Pskupine);
  RecordDropListSpec s{FileId::Pskupine, Key::PSK_KSKUP};
  int skup = d.findField("SKUP");
  s.where = [this, skup] { return std::vector<Condition>{Condition::eq(skup, g().psk)}; };
  s.columns = {
      RecordColumn::field(d, "NAZI", "@s110", column("Naziv sklopa", 200, Align::Left)),
      RecordColumn::field(d, "POSK", "@n02b", column("SK", 13, Align::Center)),
      RecordColumn::blank("@N1b", column("", 4, Align::Left)),
  };
  return s;
}

WindowSpec ItemsBrowser::windowSpec() {
  Context& c = ctx();
  WindowSpec w;
  w.title = "Pregled in urejanje podatkov";
  w.positionName = "brpodatki";
  w.width = 646;
  w.height = 350;
  auto& cs = w.controls;

  cs.push_back(control(ControlKind::Sheet, kSheet, {4, 2, 380, 30}));
  // Only the first tab is ever shown; the four special-subgroup tabs are
  // left out of the window altogether.
  auto tab = control(ControlKind::Tab, "?TAB1", {}, kSheet);
  tab.text = "&1) Zdravila";
  cs.push_back(tab);
  cs.push_back(prompt("?Prompt:Sklop", "Sklop:", {10, 18, 24, 10}, "?TAB1"));
  auto drop = control(ControlKind::DropList, kSubgroups, {36, 16, 300, 12}, "?TAB1");
  drop.tip = "Skupina-sklop";
  drop.list = subgroups_.get();
  cs.push_back(drop);

  cs.push_back(prompt("?Prompt:Naziv", "Naziv:", {392, 18, 26, 10}));
  auto loc = bound(ControlKind::Entry, kLocator, "@s200", bind(locator_, 200), {420, 16, 220, 12});
  loc.tip = "Naziv materiala";
  cs.push_back(loc);

  auto list = control(ControlKind::List, kItems, {4, 34, 638, 136});
  list.tip = "Browse podatki file";
  list.list = items_.get();
  cs.push_back(list);

  auto box = [&](const char* label, std::string& var, int width, Rect at) {
    auto b = bound(ControlKind::Text, label, "", bind(var, width), at);
    b.readOnly = true;
    b.skip = true;
    b.flat = true;
    cs.push_back(b);
  };
  box("?LOC:NAZMAT1", nazmat1_, 200, {4, 174, 317, 22});
  box("?LOC:OBLMAT1", oblmat1_, 250, {325, 174, 317, 22});

  cs.push_back(button(kInsert, "&Dodaj", "dodaj.ico", "dodaj podatke o paraleli", {4, 200, 60, 16}));
  cs.push_back(button(kChange, "&Sprem.", "spremeni.ico", "spremeni podatke o paraleli", {68, 200, 60, 16}));
  cs.push_back(button(kDelete, "&Briši", "brisi.ico", "briši podatke o paraleli", {132, 200, 60, 16}));
  cs.push_back(button(kBidder, "Prijavitelj", "help.ico", "podatki o prijavitelju / ponudniku", {196, 200, 70, 16}));
  cs.push_back(button(kParallels, "Paralele", "wachild.ico", "vnos paralel", {270, 200, 60, 16}));
  cs.back().hidden = cs.back().disabled = true;
  cs.push_back(button(kPrint, "Izpis s cenami (OBR-8)", "", "Specifikacija ponudbe s cenami-OBR-8", {334, 200, 100, 16}));
  cs.back().disabled = !c.session().program().has("rescenami");
  cs.push_back(button(kClose, "&Nazaj", "WACLOSE.ICO", "Zapri okno", {582, 200, 60, 16}));

  auto offers = control(ControlKind::List, kOffers, {4, 220, 638, 82});
  offers.tip = "Pregled paralel";
  offers.list = offers_.get();
  cs.push_back(offers);

  cs.push_back(prompt("?Prompt:PRPAK", "Primarno pakiranje (opis):", {4, 306, 90, 10}));
  auto prpak = bound(ControlKind::Text, "?PAR:PRPAK", "",
                     liveBinding([&c]() -> auto& { return c.rec<Paralela>(FileId::Paralela).prpak; }),
                     {96, 306, 320, 20});
  prpak.readOnly = true;
  prpak.skip = true;
  prpak.flat = true;
  cs.push_back(prpak);
  cs.push_back(prompt("?Prompt:NCENA_AZ", "Cena brez DDV (JAZMP):", {424, 306, 86, 10}));
  auto price = bound(ControlKind::Entry, "?PAR:NCENA_AZ", "@n15`4~ €~B",
                     liveBinding([&c]() -> auto& { return c.rec<Paralela>(FileId::Paralela).ncena_az; }),
                     {512, 306, 80, 10});
  price.readOnly = true;
  price.skip = true;
  price.flat = true;
  price.tip = "Cena brez DDV iz Agencije za zdravila";
  cs.push_back(price);
  auto withdrawn = bound(ControlKind::String, kWithdrawn, "@s20", bind(odstop_, 20), {424, 320, 120, 10});
  withdrawn.bold = true;
  withdrawn.color = Color::rgb(255, 0, 0);
  cs.push_back(withdrawn);

  // The browse keys take the navigator's slots of the lists.
  for (AlertKey k : {AlertKey::Insert, AlertKey::Delete, AlertKey::CtrlEnter, AlertKey::DoubleClick,
                     AlertKey::Character})
    w.alerts.emplace_back(kOffers, k);
  for (AlertKey k : {AlertKey::DoubleClick, AlertKey::Character}) w.alerts.emplace_back(kItems, k);
  return w;
}

}  // namespace tdx::tender
