// The offer form driven through the headless window host, as a user types
// and presses.

#include <gtest/gtest.h>

#include "runtime/stdfiles.h"
#include "tender/offer_form.h"
#include "tender_fixture.h"

namespace tdx::test {
namespace {

using rt::HeadlessWindow;
using namespace tender::form;

class OfferFormTest : public TenderFixture {
 protected:
  rt::Context caller{session};

  // The browser's side: the offer's item in the shared variables, the
  // buffer prepared, the form called.
  int callForm(int request, std::function<void(HeadlessWindow&)> script, rt::Context* ctx = nullptr) {
    rt::Context& c = ctx ? *ctx : caller;
    host().onOpen("upparalela", std::move(script));
    c.globalRequest = request;
    program.call("upparalela", c);
    return c.globalResponse;
  }
  int insertFor(std::int16_t group, std::int16_t sub, std::int32_t code, std::function<void(HeadlessWindow&)> script) {
    g().psk = group;
    g().pps = sub;
    g().sifpod = std::to_string(code);
    auto& b = caller.buf(FileId::Paralela);
    b.clear();
    b.as<Paralela>().skup = group;
    b.as<Paralela>().posk = sub;
    b.as<Paralela>().sklop = 1;
    b.as<Paralela>().sifr = code;
    return callForm(rt::req::Insert, std::move(script));
  }
  int change(Position pos, std::function<void(HeadlessWindow&)> script, rt::Context* ctx = nullptr) {
    rt::Context& c = ctx ? *ctx : caller;
    rt::useFile(c, FileId::Paralela);
    EXPECT_TRUE(c.file(FileId::Paralela).reget(pos, c.buf(FileId::Paralela)));
    int r = callForm(rt::req::Change, std::move(script), &c);
    rt::releaseFile(c, FileId::Paralela);
    return r;
  }
};

TEST_F(OfferFormTest, Group28WithoutAMedicineIsNotSaved) {
  addItem(28, 5, 1, 100, "Paracetamol");
  int response = insertFor(28, 5, 100, [](HeadlessWindow& w) {
    EXPECT_EQ(w.text(kAction), "Stavek bo dodan");
    EXPECT_FALSE(w.enabled(kCode));  // picked, never typed
    EXPECT_TRUE(w.enabled(kLookup));
    EXPECT_TRUE(w.press(kOk));
    EXPECT_TRUE(w.isOpen());
    EXPECT_EQ(w.focused(), kCode);
    w.press(kCancel);
  });
  EXPECT_EQ(response, rt::resp::Cancelled);
  EXPECT_EQ(lines(), (std::vector<std::string>{"Napaka: Ne najdem zdravila z navedeno delovno šifro!",
                                               "Napaka: Izberite pravilno delovno šifro!"}));
  EXPECT_EQ(ui.messages()[0].icon, rt::Icon::Stop);
  EXPECT_TRUE(offers().empty());
}

TEST_F(OfferFormTest, PackPriceIsCappedAtTheRegistryPrice) {
  addMedicine("ABC123", "Lekadol 500 mg", "12.3456");
  addItem(28, 1, 1, 100, "Paracetamol");
  auto pos = addOffer({.idzdr = "ABC123", .name = "Lekadol", .packPrice = "10", .units = 20});
  int response = change(pos, [](HeadlessWindow& w) {
    struct Case {
      const char* typed;
      const char* shown;
    };
    for (const Case& c : {Case{"15", "12,3456 €"}, Case{"10", "10,0000 €"}, Case{"0", "12,3456 €"},
                          Case{"12,3456", "12,3456 €"}, Case{"12.3", "12,3000 €"}}) {
      EXPECT_TRUE(w.enter(kPackPrice, c.typed)) << c.typed;
      EXPECT_EQ(w.text(kPackPrice), c.shown) << c.typed;
    }
    EXPECT_EQ(w.text("?RZDR:ATC"), "N02BE01");  // the registry record last read
    EXPECT_TRUE(w.press(kOk));
  });
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_TRUE(lines().empty());
  ASSERT_EQ(offers().size(), 1u);
  EXPECT_EQ(offers()[0].ncena_az.get(), dec("12.3"));
}

TEST_F(OfferFormTest, PickedMedicineFillsTheOfferAndThePricesFollow) {
  addMedicine("ABC123", "Lekadol 500 mg filmsko obložene tablete", "12.5", 20);
  addMedicine("XYZ999", "Drugo zdravilo", "3");
  addItem(28, 1, 1, 100, "Paracetamol");
  // The registry browser as the user works it: a name typed in lower case,
  // then "&Izbor".
  host().onOpen("brzdravnet", [](HeadlessWindow& w) {
    EXPECT_TRUE(w.enter("?RZDR:IMEREGISTR", "lekadol"));
    EXPECT_TRUE(w.press("?Select"));
  });
  int response = insertFor(28, 1, 100, [](HeadlessWindow& w) {
    EXPECT_TRUE(w.press(kLookup));
    EXPECT_EQ(w.text(kName), "Lekadol 500 mg filmsko obložene tablete");
    EXPECT_EQ(w.text(kCode), "ABC123");
    EXPECT_EQ(w.text(kPack), "škatla z 20 tabletami");
    EXPECT_EQ(w.text(kPackPrice), "12,5000 €");
    EXPECT_EQ(w.text(kUnits), "20");
    EXPECT_EQ(w.text(kUnit), "tableta");
    // 12.5 with 9.5 % VAT, per pack and per tablet of 20
    EXPECT_EQ(w.text(kGrossPack), "13,6875 €");
    EXPECT_EQ(w.text(kGross), "0,6844 €");
    EXPECT_TRUE(w.press(kOk));
  });
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_TRUE(lines().empty());
  ASSERT_EQ(offers().size(), 1u);
  EXPECT_EQ(offers()[0].idzdr.view(), "ABC123");
  EXPECT_EQ(offers()[0].bcena.get(), dec("0.6844"));
}

TEST_F(OfferFormTest, StoredVatOutsideTheRatesBlocksConfirmingUntilARateIsChosen) {
  addItem(27, 1, 1, 100, "Prehransko dopolnilo");
  auto pos = addOffer({.group = 27, .packPrice = "10", .vat = "8.5", .units = 1});
  int response = change(pos, [](HeadlessWindow& w) {
    EXPECT_TRUE(w.enter(kDiscount, "5"));
    EXPECT_EQ(w.focused(), kVat);
    EXPECT_TRUE(w.press(kOk));  // the accept-all pass stops at the rate again
    EXPECT_TRUE(w.isOpen());
    EXPECT_EQ(w.focused(), kVat);
    EXPECT_TRUE(w.choose(kVat, 3));  // 22 %
    EXPECT_EQ(w.text(kGrossPack), "11,5900 €");
    EXPECT_TRUE(w.choose(kVat, 2));  // 9.5 %: recomputed, no message
    EXPECT_EQ(w.text(kGrossPack), "10,4025 €");
    EXPECT_TRUE(w.press(kOk));
  });
  EXPECT_EQ(response, rt::resp::Completed);
  const std::string vat = "Napaka: Nepravilna stopnja DDV! Izberite pravilno stopnjo!";
  EXPECT_EQ(lines(), (std::vector<std::string>{vat, vat}));
  EXPECT_EQ(offers()[0].pddv.get(), dec("9.5"));
  EXPECT_EQ(offers()[0].popust.get(), dec("5"));
}

TEST_F(OfferFormTest, DerivedPricesShowInTheSystemsPictures) {
  addItem(27, 1, 1, 100, "Prehransko dopolnilo");
  int response = insertFor(27, 1, 100, [](HeadlessWindow& w) {
    EXPECT_EQ(w.text(kPackPrice), "");  // prices stay 0 until a pack price is typed
    EXPECT_EQ(w.text(kGross), "");
    EXPECT_TRUE(w.enter(kUnits, "20"));
    EXPECT_TRUE(w.enter(kDiscount, "10"));
    EXPECT_EQ(w.text(kDiscount), "10,00 %");
    EXPECT_TRUE(w.enter(kPackPrice, "100"));
    EXPECT_EQ(w.text(kGrossPack), "98,5500 €");
    EXPECT_EQ(w.text(kGross), "4,9275 €");
    EXPECT_EQ(w.text(kNet), "4,5000 €");
    EXPECT_TRUE(w.press(kOk));
  });
  EXPECT_EQ(response, rt::resp::Completed);
  ASSERT_EQ(offers().size(), 1u);
  const Paralela o = offers()[0];
  EXPECT_EQ(o.bcena_az.get(), dec("98.55"));
  EXPECT_EQ(o.bcena.get(), dec("4.9275"));
  EXPECT_EQ(o.ncena.get(), dec("4.5"));
  EXPECT_EQ(o.sifr.get(), 100);
  EXPECT_EQ(o.sklop.get(), 1);
}

TEST_F(OfferFormTest, AnotherGroupKeepsTypedPackSizeAndUnitWithoutTheRegistry) {
  // A registry medicine under the offer's code would set size and unit for
  // group 28; for group 27 it must not be read at all.
  addMedicine("ABC123", "Lekadol", "12.3456", 30);
  addItem(27, 1, 1, 100, "Prehransko dopolnilo");
  auto pos = addOffer({.group = 27, .idzdr = "ABC123", .packPrice = "50", .units = 1});
  int response = change(pos, [](HeadlessWindow& w) {
    EXPECT_TRUE(w.enter(kUnits, "12"));
    EXPECT_TRUE(w.enter(kUnit, "vrečka"));
    EXPECT_TRUE(w.enter(kPackPrice, "60"));
    EXPECT_EQ(w.text(kUnits), "12");
    EXPECT_EQ(w.text(kUnit), "vrečka");
    EXPECT_EQ(w.text(kPackPrice), "60,0000 €");
    EXPECT_EQ(w.text("?RZDR:ATC"), "");
    EXPECT_TRUE(w.press(kOk));
  });
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(offers()[0].pakiranje.get(), 12);
  EXPECT_EQ(offers()[0].em.view(), cp("vrečka"));
}

TEST_F(OfferFormTest, SpecialSubgroupsTakeTypedNamesAndNoWorkingCode) {
  addItem(28, 28, 1, 100, "Magistralno zdravilo");
  int response = insertFor(28, 28, 100, [](HeadlessWindow& w) {
    EXPECT_FALSE(w.enabled(kLookup));
    EXPECT_TRUE(w.enter(kName, "Mazilo po recepturi"));
    EXPECT_TRUE(w.enter(kHolder, "Lekarna"));
    EXPECT_TRUE(w.enter(kPackPrice, "7"));
    EXPECT_EQ(w.text(kGrossPack), "7,6650 €");
    EXPECT_TRUE(w.press(kOk));
  });
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(offers()[0].imezd.view(), "Mazilo po recepturi");
}

TEST_F(OfferFormTest, ChangeWithoutEditsWritesNothing) {
  addItem(27, 1, 1, 100, "Prehransko dopolnilo");
  auto pos = addOffer({.group = 27, .packPrice = "10", .units = 1});
  // A consistent offer: what the form's rules give.
  int first = change(pos, [](HeadlessWindow& w) {
    w.enter(kPackPrice, "10");
    w.press(kOk);
  });
  ASSERT_EQ(first, rt::resp::Completed);
  rt::Context other(session);
  int response = change(pos, [&](HeadlessWindow& w) {
    // Meanwhile another station changes the offer: a write from this form
    // would now fail with warning 38.
    rt::useFile(other, FileId::Paralela);
    auto& f = other.file(FileId::Paralela);
    ASSERT_TRUE(f.reget(pos, other.buf(FileId::Paralela)));
    other.rec<Paralela>(FileId::Paralela).imezd = std::string("changed elsewhere");
    ASSERT_TRUE(f.put(other.buf(FileId::Paralela)));
    rt::releaseFile(other, FileId::Paralela);
    EXPECT_TRUE(w.press(kOk));
    EXPECT_FALSE(w.isOpen());
  });
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(offers()[0].imezd.view(), "changed elsewhere");
}

TEST_F(OfferFormTest, SecondWriterGetsWarning38AndRecallsItsValuesFieldByField) {
  addItem(27, 1, 1, 100, "Prehransko dopolnilo");
  auto pos = addOffer({.group = 27, .packPrice = "10", .units = 1});
  rt::Context second(session);
  int response = change(pos, [&](HeadlessWindow& w) {
    // The other window opens the same offer and saves first.
    int other = change(pos, [](HeadlessWindow& v) {
      EXPECT_TRUE(v.enter(kPackPrice, "20"));
      EXPECT_TRUE(v.enter(kDiscount, "1"));
      EXPECT_TRUE(v.press(kOk));
    }, &second);
    EXPECT_EQ(other, rt::resp::Completed);

    EXPECT_TRUE(w.enter(kPackPrice, "30"));
    EXPECT_TRUE(w.enter(kDiscount, "2"));
    EXPECT_TRUE(w.press(kOk));
    ASSERT_TRUE(w.isOpen());
    EXPECT_EQ(w.text(kPackPrice), "20,0000 €");  // the first writer's version
    EXPECT_EQ(w.text(kDiscount), "1,00 %");
    EXPECT_TRUE(w.alert(kPackPrice, rt::AlertKey::CtrlApostrophe));
    EXPECT_EQ(w.text(kPackPrice), "30,0000 €");
    EXPECT_EQ(w.text(kDiscount), "1,00 %");  // one field at a time
    EXPECT_TRUE(w.press(kOk));
  });
  EXPECT_EQ(response, rt::resp::Completed);
  ASSERT_EQ(lines().size(), 1u);
  EXPECT_EQ(lines()[0],
            "Record Was Not Updated: This record was changed by another station. Those changes will now be "
            "displayed. Use the Ditto Button or Ctrl+' to recall your changes.");
  EXPECT_EQ(offers()[0].ncena_az.get(), dec("30"));
  EXPECT_EQ(offers()[0].popust.get(), dec("1"));
}

TEST_F(OfferFormTest, DeleteRemovesTheOfferAndCancelWritesNothing) {
  addItem(27, 1, 1, 100, "Prehransko dopolnilo");
  auto pos = addOffer({.group = 27, .packPrice = "10", .units = 1});
  EXPECT_EQ(change(pos, [](HeadlessWindow& w) {
              w.enter(kPackPrice, "99");
              w.press(kCancel);
            }),
            rt::resp::Cancelled);
  EXPECT_EQ(offers()[0].ncena_az.get(), dec("10"));
  rt::useFile(caller, FileId::Paralela);
  ASSERT_TRUE(caller.file(FileId::Paralela).reget(pos, caller.buf(FileId::Paralela)));
  int response = callForm(rt::req::Delete, [](HeadlessWindow& w) {
    EXPECT_EQ(w.text(kAction), "Za brisanje pritisni gumb Potrdi");
    w.press(kOk);
  });
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_TRUE(offers().empty());
}

}  // namespace
}  // namespace tdx::test
