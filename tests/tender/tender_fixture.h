#pragma once
// A small tender written with the store, a headless program with every
// procedure registered, and the calls the tests make of it.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/procedures.h"
#include "records/cp1250.h"
#include "records/layouts.h"
#include "records/store.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/headless_window.h"
#include "runtime/procedure.h"
#include "support/temp_folder.h"

namespace tdx::test {

inline std::string cp(std::string_view utf8) { return cp1250::fromUtf8(utf8).value(); }
inline Decimal dec(std::string_view text) { return *Decimal::parse(text); }

// The tender's record files in a fresh folder and the records the tests
// add to them.
class TenderFiles {
 public:
  TempFolder dir{"tender"};

  TenderFiles() {
    // Files the procedures open; the registry may not be created by them.
    for (FileId id : {FileId::Zdravnet, FileId::Podatki, FileId::Paralela, FileId::Pskupine, FileId::Opism,
                      FileId::Ponudnik, FileId::Verant})
      create(id);
  }

  void create(FileId id) {
    RecordFile f(fileDef(id), dir.path());
    if (!recordFileExists(fileDef(id), dir.path())) EXPECT_TRUE(f.create());
  }
  // Adds one record, filled by `fill` from a cleared buffer.
  template <class T, class Fill>
  Position add(FileId id, Fill fill) {
    RecordFile f(fileDef(id), dir.path());
    EXPECT_TRUE(f.open());
    RecordBuffer b(id);
    b.clear();
    fill(b.as<T>());
    EXPECT_TRUE(f.add(b)) << f.error().describe();
    return f.position();
  }

  Position addItem(std::int16_t group, std::int16_t sub, std::int16_t lot, std::int32_t code, std::string_view name) {
    return add<Podatki>(FileId::Podatki, [&](Podatki& p) {
      p.skup = group;
      p.posk = sub;
      p.sklop = lot;
      p.sifr = code;
      p.nazi = cp(name);
      p.faob = cp("tablete");
      p.enme = cp("kos");
      p.koli = 1200;
      p.koliane = 2400;
    });
  }

  void addSubgroup(std::int16_t group, std::int16_t sub, std::string_view name) {
    add<Pskupine>(FileId::Pskupine, [&](Pskupine& p) {
      p.skup = group;
      p.posk = sub;
      p.nazi = cp(name);
    });
  }

  void addMedicine(std::string_view code, std::string_view name, std::string_view price, std::int16_t units = 20,
                   std::string_view atc = "N02BE01") {
    add<Zdravnet>(FileId::Zdravnet, [&](Zdravnet& z) {
      z.idzdr = std::string(code);
      z.imeregistr = cp(name);
      z.proizn = cp("Imetnik d.o.o.");
      z.pakiranje = cp("škatla z 20 tabletami");
      z.crtnakoda = std::string("3838989123456");
      z.ncena = dec(price);
      z.kolenote = units;
      z.enota = cp("tableta");
      z.atc = std::string(atc);
      z.atcopis = cp("paracetamol");
    });
  }

  struct Offer {
    std::int16_t group = 28, sub = 1, lot = 1;
    std::int32_t code = 100;
    std::string idzdr, name;
    std::string packPrice = "0", gross = "0", vat = "9.5", discount = "0";
    std::int16_t sort = 0;
    std::int32_t units = 1;
  };
  Position addOffer(const Offer& o) {
    return add<Paralela>(FileId::Paralela, [&](Paralela& p) {
      p.skup = o.group;
      p.posk = o.sub;
      p.sklop = o.lot;
      p.sifr = o.code;
      p.idzdr = o.idzdr;
      p.imezd = cp(o.name);
      p.ncena_az = dec(o.packPrice);
      p.bcena = dec(o.gross);
      p.pddv = dec(o.vat);
      p.popust = dec(o.discount);
      p.sort = o.sort;
      p.pakiranje = o.units;
      p.kfaktor = 1;
    });
  }

  std::vector<Paralela> offers() {
    RecordFile f(fileDef(FileId::Paralela), dir.path());
    EXPECT_TRUE(f.open());
    std::vector<Paralela> out;
    RecordBuffer b(FileId::Paralela);
    f.setFileOrder();
    while (f.next(b)) out.push_back(b.as<Paralela>());
    return out;
  }

};

class TenderFixture : public ::testing::Test, public TenderFiles {
 protected:
  rt::HeadlessUi ui;
  rt::Session session{ui, dir.path()};
  rt::Program program{session};

  TenderFixture() {
    app::registerAllProcedures(program);
    session.setProgram(&program);
  }

  rt::HeadlessWindowHost& host() { return ui.windowHost(); }
  rt::Globals& g() { return session.globals(); }
  std::vector<std::string> lines() const { return ui.transcript(); }
};

// The shown text of a control without its fixed texts' padding.
inline std::string shown(rt::HeadlessWindow& w, std::string_view label) { return w.text(label); }

}  // namespace tdx::test
