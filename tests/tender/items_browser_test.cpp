// The items browser and the offers browser through the headless host.

#include <gtest/gtest.h>

#include "runtime/browse.h"
#include "tender/items_browser.h"
#include "tender/offer_form.h"
#include "tender_fixture.h"

namespace tdx::test {
namespace {

using rt::HeadlessWindow;
using rt::ListMove;
using namespace tender::items;

class ItemsBrowserTest : public TenderFixture {
 protected:
  HeadlessWindow& open() {
    g().psk = 28;
    id = program.start("brpodatki");
    EXPECT_NE(id, 0u);
    auto* w = host().find("brpodatki");
    EXPECT_NE(w, nullptr);
    return *w;
  }
  std::uint64_t id = 0;

  static std::vector<std::string> column(HeadlessWindow& w, const char* list, int col) {
    std::vector<std::string> out;
    auto* l = w.list(list);
    for (int r = 0; r < l->rows(); ++r) out.push_back(l->cell(r, col));
    return out;
  }
  static std::string highlighted(HeadlessWindow& w, const char* list, int col) {
    auto* l = w.list(list);
    return l->current() < 0 ? std::string() : l->cell(l->current(), col);
  }

  void tender() {
    addSubgroup(28, 1, "Zdravila");
    addSubgroup(28, 2, "Cepiva");
    addSubgroup(28, 3, "Sklop brez postavk");
    addItem(28, 1, 2, 100, "Aspirin");
    addItem(28, 1, 3, 101, "Bisoprolol");
    addItem(28, 1, 1, 102, "Cefazolin");
    addItem(28, 2, 1, 200, "Cepivo proti gripi");
  }
};

TEST_F(ItemsBrowserTest, FirstFillShowsSubgroupOneAndTheDropListSwitches) {
  // The drop list starts with subgroup 2: the group has no subgroup 1 record.
  addSubgroup(28, 2, "Cepiva");
  addSubgroup(28, 3, "Sklop brez postavk");
  addSubgroup(28, 4, "Analgetiki");
  addItem(28, 1, 2, 100, "Aspirin");
  addItem(28, 1, 3, 101, "Bisoprolol");
  addItem(28, 1, 1, 102, "Cefazolin");
  addItem(28, 2, 1, 200, "Cepivo proti gripi");
  auto& w = open();
  EXPECT_EQ(w.title(), "Pregled in urejanje podatkov");
  EXPECT_EQ(column(w, kItems, 2), (std::vector<std::string>{"Aspirin", "Bisoprolol", "Cefazolin"}));
  EXPECT_EQ(g().pskup, 1);
  // Publishing the highlighted item, lot included.
  EXPECT_EQ(g().sifpod, "100");
  EXPECT_EQ(g().itemLot, 2);
  EXPECT_EQ(w.text("?LOC:NAZMAT1"), "Aspirin");
  EXPECT_TRUE(w.move(kItems, ListMove::Down));
  EXPECT_EQ(g().sifpod, "101");
  EXPECT_EQ(g().nazmat, "Bisoprolol");
  EXPECT_EQ(g().oblmat, "tablete");
  EXPECT_EQ(g().psk, 28);
  EXPECT_EQ(g().pps, 1);

  auto* drop = w.list(kSubgroups);
  ASSERT_EQ(drop->rows(), 3);
  EXPECT_EQ(drop->current(), 0);
  EXPECT_EQ(drop->cell(0, 0), "Cepiva");
  drop->select(2);
  host().settle();
  EXPECT_EQ(g().pskup, 4);
  EXPECT_EQ(w.list(kItems)->rows(), 0);
  drop->select(0);
  host().settle();
  EXPECT_EQ(g().pskup, 2);
  EXPECT_EQ(column(w, kItems, 2), (std::vector<std::string>{"Cepivo proti gripi"}));
  EXPECT_EQ(column(w, kItems, 0), (std::vector<std::string>{"02"}));
  EXPECT_EQ(column(w, kItems, 1), (std::vector<std::string>{"00000200"}));
}

TEST_F(ItemsBrowserTest, SubgroupWithoutItemsDisablesTheLocatorAndTheOfferButtons) {
  tender();
  addOffer({.sub = 1, .lot = 2, .code = 100, .name = "Aspirin 100"});
  auto& w = open();
  EXPECT_TRUE(w.enabled(kLocator));
  EXPECT_TRUE(w.enabled(kChange));
  w.list(kSubgroups)->select(2);  // "Sklop brez postavk"
  host().settle();
  EXPECT_EQ(w.list(kItems)->rows(), 0);
  EXPECT_EQ(w.list(kOffers)->rows(), 0);
  EXPECT_FALSE(w.enabled(kLocator));
  EXPECT_FALSE(w.enabled(kChange));
  EXPECT_FALSE(w.enabled(kDelete));
  EXPECT_FALSE(w.enabled(kInsert));  // no item to add an offer to
  w.alert(kOffers, rt::AlertKey::Insert);
  EXPECT_EQ(offers().size(), 1u);
}

TEST_F(ItemsBrowserTest, InsertInAnEmptyOfferListAddsAndHighlightsTheNewOffer) {
  tender();
  auto& w = open();
  EXPECT_EQ(w.list(kOffers)->rows(), 0);
  EXPECT_FALSE(w.enabled(kChange));
  EXPECT_TRUE(w.enabled(kInsert));
  host().onOpen("upparalela", [](HeadlessWindow& f) {
    f.enter(tender::form::kName, "x");  // disabled: not typed
    f.enter(tender::form::kPackPrice, "5");
    f.press(tender::form::kCancel);
  });
  // A medicine for the cap, picked in the registry browser.
  addMedicine("ABC123", "Aspirin 100 mg", "2.5");
  host().onOpen("upparalela", [](HeadlessWindow& f) {
    f.press(tender::form::kLookup);
    f.press(tender::form::kOk);
  });
  host().onOpen("brzdravnet", [](HeadlessWindow& r) { r.press("?Select"); });
  EXPECT_TRUE(w.alert(kOffers, rt::AlertKey::Insert));  // cancelled
  EXPECT_TRUE(offers().empty());
  EXPECT_TRUE(w.alert(kOffers, rt::AlertKey::Insert));
  ASSERT_EQ(offers().size(), 1u);
  EXPECT_EQ(offers()[0].sifr.get(), 100);
  EXPECT_EQ(offers()[0].sklop.get(), 2);
  EXPECT_EQ(column(w, kOffers, 3), (std::vector<std::string>{"Aspirin 100 mg"}));
  EXPECT_EQ(w.list(kOffers)->current(), 0);
  EXPECT_TRUE(w.enabled(kChange));
  EXPECT_EQ(w.focused(), kOffers);
}

TEST_F(ItemsBrowserTest, OffersInPriceOrderWithTheWithdrawalNoticeOnlyOnTheWithdrawnOne) {
  tender();
  addOffer({.lot = 2, .code = 100, .name = "B", .gross = "4.5", .sort = 3});
  addOffer({.lot = 2, .code = 100, .name = "W", .gross = "3", .sort = 99});
  addOffer({.lot = 2, .code = 100, .name = "A", .gross = "4.5", .sort = 1});
  addOffer({.lot = 3, .code = 100, .name = "other lot", .gross = "1"});
  auto& w = open();
  EXPECT_EQ(column(w, kOffers, 3), (std::vector<std::string>{"W", "A", "B"}));
  EXPECT_EQ(column(w, kOffers, 9), (std::vector<std::string>{"3,0000 €", "4,5000 €", "4,5000 €"}));
  EXPECT_EQ(column(w, kOffers, 8), (std::vector<std::string>{"9,50%", "9,50%", "9,50%"}));
  EXPECT_EQ(w.list(kOffers)->styleOf(0), 1);  // default colours
  EXPECT_EQ(w.list(kOffers)->styleOf(1), 2);  // light pink
  EXPECT_EQ(w.list(kItems)->styleOf(1), 0);   // light green
  EXPECT_EQ(w.text(kWithdrawn), "Odstop od ponudbe!");
  EXPECT_TRUE(w.move(kOffers, ListMove::Down));
  EXPECT_EQ(w.text(kWithdrawn), "");
  EXPECT_TRUE(w.move(kOffers, ListMove::Up));
  EXPECT_EQ(w.text(kWithdrawn), "Odstop od ponudbe!");
  // Another item: its own offers, the notice gone.
  EXPECT_TRUE(w.move(kItems, ListMove::Down));
  EXPECT_EQ(w.list(kOffers)->rows(), 0);
  EXPECT_EQ(w.text(kWithdrawn), "");
}

TEST_F(ItemsBrowserTest, NameLocatorAndTypedCharacterHandOver) {
  tender();
  addItem(28, 1, 1, 103, "Čaj");
  addItem(28, 1, 1, 104, "Diazepam");
  auto& w = open();
  EXPECT_TRUE(w.alert(kItems, rt::AlertKey::Character, U'č'));
  EXPECT_EQ(w.focused(), kLocator);
  EXPECT_EQ(w.text(kLocator), "č");
  EXPECT_TRUE(w.enter(kLocator, "čA"));
  EXPECT_EQ(highlighted(w, kItems, 2), "Čaj");
  EXPECT_EQ(g().sifpod, "103");
  EXPECT_EQ(w.focused(), kItems);
  EXPECT_TRUE(w.enter(kLocator, "d"));
  EXPECT_EQ(highlighted(w, kItems, 2), "Diazepam");
}

TEST_F(ItemsBrowserTest, ChangeAndDeleteGoThroughTheFormAndTheListFollows) {
  tender();
  addOffer({.group = 28, .sub = 1, .lot = 2, .code = 100, .name = "A", .gross = "1"});
  auto pos = addOffer({.group = 28, .sub = 1, .lot = 2, .code = 100, .name = "B", .gross = "2"});
  (void)pos;
  addMedicine("ABC123", "Aspirin", "100", 1);
  auto& w = open();
  EXPECT_TRUE(w.move(kOffers, ListMove::Down));
  // The form for the highlighted offer: its sort value set to withdraw it.
  host().onOpen("upparalela", [](HeadlessWindow& f) {
    EXPECT_EQ(f.text(tender::form::kName), "B");
    EXPECT_EQ(f.text(tender::form::kAction), "Stavek bo spremenjen");
    f.press(tender::form::kLookup);
    f.enter(tender::form::kPackPrice, "0.5");
    f.press(tender::form::kOk);
  });
  host().onOpen("brzdravnet", [](HeadlessWindow& r) { r.press("?Select"); });
  EXPECT_TRUE(w.alert(kOffers, rt::AlertKey::CtrlEnter));
  // Re-read and on that offer: now the cheaper one.
  EXPECT_EQ(column(w, kOffers, 3), (std::vector<std::string>{"Aspirin", "A"}));
  EXPECT_EQ(w.list(kOffers)->current(), 0);
  host().onOpen("upparalela", [](HeadlessWindow& f) { f.press(tender::form::kOk); });
  EXPECT_TRUE(w.press(kDelete));
  EXPECT_EQ(column(w, kOffers, 3), (std::vector<std::string>{"A"}));
  EXPECT_EQ(offers().size(), 1u);
}

TEST_F(ItemsBrowserTest, PrintButtonIsGreyedUntilTheReportExists) {
  tender();
  auto& w = open();
  EXPECT_EQ(w.enabled(kPrint), program.has("rescenami"));
  EXPECT_TRUE(w.has(kParallels));
  EXPECT_FALSE(w.visible(kParallels));
  EXPECT_FALSE(w.visible("?TAB2"));
}

TEST_F(ItemsBrowserTest, CloseRequestOfTheFrameEndsTheBrowser) {
  tender();
  open();
  EXPECT_TRUE(program.running(id));
  program.requestClose(id);
  EXPECT_FALSE(program.running(id));
  EXPECT_EQ(host().find("brpodatki"), nullptr);
}


TEST_F(ItemsBrowserTest, FrameOpensItAtStartAndItsFirstCommandClosesIt) {
  tender();
  ASSERT_NE(program.start("Main"), 0u);
  auto* frame = host().frame();
  ASSERT_NE(frame, nullptr);
  auto* startUp = host().find("brpodatki");
  ASSERT_NE(startUp, nullptr);
  EXPECT_EQ(startUp->list(kItems)->rows(), 3);
  ASSERT_TRUE(frame->press("?NAVODILA"));
  EXPECT_EQ(host().find("brpodatki"), nullptr);
  // A browser opened later is not the start-up one: the next command leaves it.
  ASSERT_TRUE(frame->press("?PREGLEDINVNOS"));
  ASSERT_NE(host().find("brpodatki"), nullptr);
  ASSERT_TRUE(frame->press("?NAVODILA"));
  EXPECT_NE(host().find("brpodatki"), nullptr);
}

TEST_F(ItemsBrowserTest, BidderButtonAddsOnAnEmptyFileAndChangesTheFirstRecord) {
  tender();
  auto& w = open();
  bool deleteShown = true;
  host().onOpen("upponud", [&](HeadlessWindow& f) {
    deleteShown = f.visible("?DELETE");
    f.requestClose();
  });
  EXPECT_TRUE(w.press(kBidder));
  EXPECT_FALSE(deleteShown);  // insert mode
  add<Ponudnik>(FileId::Ponudnik, [](Ponudnik& p) { p.naziv = std::string("Ponudnik d.o.o."); });
  host().onOpen("upponud", [&](HeadlessWindow& f) {
    deleteShown = f.visible("?DELETE");
    f.requestClose();
  });
  EXPECT_TRUE(w.press(kBidder));
  EXPECT_TRUE(deleteShown);  // change mode
  EXPECT_TRUE(w.isOpen());
}

class OffersBrowserTest : public ItemsBrowserTest {};

TEST_F(OffersBrowserTest, FollowsTheCurrentItemInAllFourValues) {
  tender();
  addOffer({.sub = 1, .lot = 2, .code = 100, .name = "Aspirin offer"});
  addOffer({.sub = 1, .lot = 3, .code = 101, .name = "Bisoprolol offer"});
  addOffer({.sub = 2, .lot = 1, .code = 200, .name = "Vaccine offer"});
  auto& items = open();
  auto offersId = program.start("brparalela");
  ASSERT_NE(offersId, 0u);
  auto* w = host().find("brparalela");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->title(), "Paralele - pregled podatkov");
  // An item whose lot is 2: its offer is there.
  EXPECT_EQ(column(*w, "?BROWSE:1", 3), (std::vector<std::string>{"Aspirin offer"}));
  EXPECT_EQ(w->text("?GLO:NAZMAT"), "Aspirin");

  items.move(kItems, ListMove::Down);
  w->gainFocus();
  EXPECT_EQ(column(*w, "?BROWSE:1", 3), (std::vector<std::string>{"Bisoprolol offer"}));

  // An item of another subgroup.
  items.list(kSubgroups)->select(1);
  host().settle();
  w->gainFocus();
  EXPECT_EQ(column(*w, "?BROWSE:1", 3), (std::vector<std::string>{"Vaccine offer"}));
}

TEST_F(OffersBrowserTest, EmptyListGreysThePopupAndInsertStillAdds) {
  tender();
  open();
  program.start("brparalela");
  auto* w = host().find("brparalela");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->list("?BROWSE:1")->rows(), 0);
  EXPECT_FALSE(w->enabled("?CHANGE:2"));
  EXPECT_FALSE(w->enabled("?DELETE:2"));
  EXPECT_TRUE(w->alert("?BROWSE:1", rt::AlertKey::RightClick));
  EXPECT_EQ(w->lastPopup(), "&Dodaj|~&Sprem.|~&Briši");
  host().onOpen("upparalela", [](HeadlessWindow& f) {
    f.enter(tender::form::kPackPrice, "1");
    f.press(tender::form::kOk);
  });
  addMedicine("ABC123", "Aspirin", "3");
  host().onOpen("upparalela", [](HeadlessWindow& f) {
    f.press(tender::form::kLookup);
    f.press(tender::form::kOk);
  });
  host().onOpen("brzdravnet", [](HeadlessWindow& r) { r.press("?Select"); });
  // The first form cannot save (no medicine); the second picks one.
  EXPECT_TRUE(w->alert("?BROWSE:1", rt::AlertKey::Insert));
  EXPECT_TRUE(w->alert("?BROWSE:1", rt::AlertKey::Insert));
  ASSERT_EQ(offers().size(), 1u);
  EXPECT_EQ(offers()[0].sklop.get(), 2);  // the item's lot, not 0
  EXPECT_EQ(w->list("?BROWSE:1")->rows(), 1);
  EXPECT_TRUE(w->enabled("?CHANGE:2"));
  EXPECT_TRUE(w->alert("?BROWSE:1", rt::AlertKey::RightClick));
  EXPECT_EQ(w->lastPopup(), "&Dodaj|&Sprem.|&Briši");
}

}  // namespace
}  // namespace tdx::test
