// The registry browser through the headless host: called in select mode as
// the offer form calls it, or as a plain viewer.

#include <gtest/gtest.h>

#include "runtime/browse.h"
#include "tender/tender_fixture.h"

namespace tdx::test {
namespace {

using rt::HeadlessWindow;

class RegistryBrowserTest : public TenderFixture {
 protected:
  rt::Context caller{session};

  int call(int request, std::function<void(HeadlessWindow&)> script) {
    host().onOpen("brzdravnet", std::move(script));
    caller.globalRequest = request;
    program.call("brzdravnet", caller);
    return caller.globalResponse;
  }
  const Zdravnet& picked() { return caller.rec<Zdravnet>(FileId::Zdravnet); }

  void registry() {
    addMedicine("B00001", "Zyrtec", "4", 10, "R06AE07");
    addMedicine("A00002", "Aspirin", "1.5", 20, "N02BA01");
    addMedicine("C00003", "Čmrlj sirup", "0", 1, "A11AA01");
    addMedicine("D00004", "Diklofenak", "2.25", 30, "M01AB05");
  }
};

TEST_F(RegistryBrowserTest, WorkingCodeTypedInLowerCaseIsFound) {
  registry();
  int response = call(rt::req::Select, [](HeadlessWindow& w) {
    EXPECT_EQ(w.text("?RZDR:PAKIRANJE"), "škatla z 20 tabletami");
    w.selectTab("?CurrentTab", "?Tab:2");
    EXPECT_TRUE(w.enter("?RZDR:IDZDR", "c00"));
    auto* l = w.list("?Browse:1");
    EXPECT_EQ(l->cell(l->current(), 1), "C00003");
    EXPECT_EQ(l->cell(l->current(), 2), "Čmrlj sirup");
    EXPECT_EQ(l->cell(l->current(), 4), "");  // price 0 shows blank
    EXPECT_EQ(w.focused(), "?Browse:1");
    EXPECT_EQ(w.text("?RZDR:IDZDR"), "");  // emptied after the refresh
    EXPECT_TRUE(w.press("?Select"));
  });
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_EQ(picked().idzdr.view(), "C00003");
}

TEST_F(RegistryBrowserTest, NamesInSlovenianOrderWithPricesInTheirPicture) {
  registry();
  addMedicine("E00005", "Cefazolin", "1234.5");
  call(rt::req::Select, [](HeadlessWindow& w) {
    auto* l = w.list("?Browse:1");
    std::vector<std::string> names, prices;
    for (int r = 0; r < l->rows(); ++r) {
      names.push_back(l->cell(r, 2));
      prices.push_back(l->cell(r, 4));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Aspirin", "Cefazolin", "Čmrlj sirup", "Diklofenak", "Zyrtec"}));
    EXPECT_EQ(prices, (std::vector<std::string>{"1,5000 €", "1.234,5000 €", "", "2,2500 €", "4,0000 €"}));
    EXPECT_EQ(l->cell(0, 8), "20");
    EXPECT_TRUE(w.press("?Close"));
  });
}

TEST_F(RegistryBrowserTest, EmptyRegistryGreysTheMenuAndBackAnswersCancelled) {
  int response = call(rt::req::Select, [](HeadlessWindow& w) {
    EXPECT_EQ(w.list("?Browse:1")->rows(), 0);
    EXPECT_TRUE(w.alert("?Browse:1", rt::AlertKey::RightClick));
    EXPECT_EQ(w.lastPopup(), "~&Izbor");
    EXPECT_TRUE(w.isOpen());
    EXPECT_TRUE(w.press("?Close"));
  });
  EXPECT_EQ(response, rt::resp::Cancelled);
  EXPECT_TRUE(lines().empty());
}

TEST_F(RegistryBrowserTest, PickFromTheAtcTabReturnsTheWholeRecord) {
  registry();
  host().answerPopup(1);
  int response = call(rt::req::Select, [](HeadlessWindow& w) {
    w.selectTab("?CurrentTab", "?Tab:3");
    EXPECT_TRUE(w.enter("?RZDR:ATC", "m01"));
    EXPECT_TRUE(w.alert("?Browse:1", rt::AlertKey::RightClick));
    EXPECT_EQ(w.lastPopup(), "&Izbor");
  });
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_EQ(picked().idzdr.view(), "D00004");
  EXPECT_EQ(picked().pakiranje.view(), cp("škatla z 20 tabletami"));
  EXPECT_EQ(picked().ncena.get(), dec("2.25"));
  EXPECT_EQ(picked().kolenote.get(), 30);
  EXPECT_EQ(picked().atcopis.view(), "paracetamol");
}

TEST_F(RegistryBrowserTest, SelectStartsAtTheCallersNameAndTheViewerHasNoSelect) {
  registry();
  caller.rec<Zdravnet>(FileId::Zdravnet).imeregistr = std::string("Di");
  call(rt::req::Select, [](HeadlessWindow& w) {
    auto* l = w.list("?Browse:1");
    EXPECT_EQ(l->cell(l->current(), 2), "Diklofenak");
    EXPECT_TRUE(w.visible("?Select"));
    EXPECT_TRUE(w.alert("?Browse:1", rt::AlertKey::DoubleClick));
    EXPECT_FALSE(w.isOpen());
  });
  EXPECT_EQ(picked().idzdr.view(), "D00004");

  caller.rec<Zdravnet>(FileId::Zdravnet).imeregistr = std::string("Di");
  int response = call(rt::req::None, [](HeadlessWindow& w) {
    EXPECT_EQ(w.title(),
              "Pregled registriranih zdravil -> https://www.cbz.si [7.3.2022] -> IVDC https://www.jazmp.si [1.4.2022]");
    auto* l = w.list("?Browse:1");
    EXPECT_EQ(l->cell(l->current(), 2), "Aspirin");  // a viewer starts at the first medicine
    EXPECT_FALSE(w.visible("?Select"));
    EXPECT_FALSE(w.press("?Select"));
    EXPECT_TRUE(w.alert("?Browse:1", rt::AlertKey::DoubleClick));
    EXPECT_TRUE(w.isOpen());  // nothing to select in a viewer
    EXPECT_TRUE(w.press("?Close"));
  });
  EXPECT_EQ(response, rt::resp::Completed);
}

TEST_F(RegistryBrowserTest, ThumbByCodeShowsOnlyTheEnds) {
  for (int i = 0; i < 60; ++i) {
    char code[8];
    std::snprintf(code, sizeof code, "X%05d", i);
    addMedicine(code, std::string("Zdravilo ") + code, "1");
  }
  call(rt::req::Select, [](HeadlessWindow& w) {
    auto* l = w.list("?Browse:1");
    EXPECT_EQ(l->thumb(), 0);
    w.move("?Browse:1", rt::ListMove::PageDown);
    EXPECT_GT(l->thumb(), 0);  // by name: somewhere between
    w.selectTab("?CurrentTab", "?Tab:2");
    w.enter("?RZDR:IDZDR", "X00030");
    EXPECT_EQ(l->thumb(), 50);
    w.move("?Browse:1", rt::ListMove::End);
    EXPECT_EQ(l->thumb(), 100);
    w.press("?Close");
  });
}

}  // namespace
}  // namespace tdx::test
