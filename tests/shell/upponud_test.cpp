// upponud: insert, change and delete of the bidder, the recall of the
// values last confirmed with Ctrl+', another station's change.

#include "shell/upponud.h"

#include <gtest/gtest.h>

#include "runtime/stdfiles.h"
#include "shell/shell_fixture.h"

namespace tdx::shell::test {
namespace {

class BidderFormTest : public ShellTest {
 protected:
  rt::Context ctx{session};

  // The frame's bidder command: prepare the buffer and the mode, call.
  int openForm(rt::HeadlessWindowHost::Script script) {
    host.onOpen("upponud", std::move(script));
    rt::FileUse use(ctx, FileId::Ponudnik);
    auto& file = ctx.file(FileId::Ponudnik);
    auto& buf = ctx.buf(FileId::Ponudnik);
    buf.clear();
    file.setFileOrder();
    ctx.globalRequest = file.next(buf) ? rt::req::Change : rt::req::Insert;
    if (ctx.globalRequest == rt::req::Insert) buf.clear();
    EXPECT_TRUE(program.call("upponud", ctx));
    return ctx.globalResponse;
  }
  std::vector<std::string> stored() {
    std::vector<std::string> out;
    RecordFile f(fileDef(FileId::Ponudnik), dir.path());
    RecordBuffer b(FileId::Ponudnik);
    if (!f.open()) return out;
    f.setFileOrder();
    while (f.next(b)) out.push_back(b.as<Ponudnik>().naziv.utf8());
    return out;
  }
};

TEST_F(BidderFormTest, EmptyFileOpensInInsertModeWithoutDeleteAndConfirmAdds) {
  int response = openForm([](rt::HeadlessWindow& w) {
    EXPECT_EQ(w.title(), "Podatki o prijavitelju / ponudniku");
    EXPECT_EQ(w.status(), "Stavek bo dodan");
    EXPECT_TRUE(w.hidden("?DELETE"));
    EXPECT_FALSE(w.enabled("?DELETE"));
    EXPECT_EQ(w.focused(), "?PON:NAZIV");
    EXPECT_EQ(w.text("?PON:NAZIV"), "");
    w.type("?PON:NAZIV", "Farmacija Žalec d.o.o.");
    w.type("?PON:DAVCNA", "11223344");
    w.press("?OK");
  });
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_EQ(stored(), std::vector<std::string>{"Farmacija Žalec d.o.o."});
  EXPECT_TRUE(lines().empty());
}

TEST_F(BidderFormTest, ChangeWithoutEditsWritesNothingAndCompletes) {
  addBidder("Farmacija d.o.o.");
  auto before = tdx::test::readFile(dir / "ponudnik.dat");
  int response = openForm([](rt::HeadlessWindow& w) {
    EXPECT_EQ(w.status(), "Stavek bo spremenjen");
    EXPECT_TRUE(w.visible("?DELETE"));
    EXPECT_EQ(w.text("?PON:NAZIV"), "Farmacija d.o.o.");
    w.press("?OK");
  });
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_EQ(tdx::test::readFile(dir / "ponudnik.dat"), before);
}

TEST_F(BidderFormTest, ChangeIsWrittenAndCancelWritesNothing) {
  addBidder("Farmacija d.o.o.");
  EXPECT_EQ(openForm([](rt::HeadlessWindow& w) {
              w.type("?PON:NAZIV", "Nova Farmacija");
              w.press("?CANCEL");
            }),
            rt::resp::Cancelled);
  EXPECT_EQ(stored(), std::vector<std::string>{"Farmacija d.o.o."});
  EXPECT_EQ(openForm([](rt::HeadlessWindow& w) {
              w.type("?PON:NAZIV", "Nova Farmacija");
              w.press("?OK");
            }),
            rt::resp::Completed);
  EXPECT_EQ(stored(), std::vector<std::string>{"Nova Farmacija"});
}

TEST_F(BidderFormTest, DeleteAnswersCancelledAndTheNextOpeningInserts) {
  addBidder("Farmacija d.o.o.");
  ui.answer("Ne");
  ui.answer("Da");
  int response = openForm([](rt::HeadlessWindow& w) {
    w.press("?DELETE");
    EXPECT_EQ(w.focused(), "?CANCEL");  // "&Ne" stays in the form
    w.press("?DELETE");
  });
  EXPECT_EQ(response, rt::resp::Cancelled);
  EXPECT_EQ(lines(), (std::vector<std::string>{"Opozorilo: Brišem ponudnika?", "Opozorilo: Brišem ponudnika?"}));
  EXPECT_EQ(ui.messages()[0].buttons, (std::vector<std::string>{"&Da", "&Ne"}));
  EXPECT_EQ(ui.messages()[0].icon, rt::Icon::Question);
  EXPECT_TRUE(stored().empty());
  bool insert = false;
  openForm([&](rt::HeadlessWindow& w) {
    insert = w.hidden("?DELETE");
    w.press("?CANCEL");
  });
  EXPECT_TRUE(insert);
}

TEST_F(BidderFormTest, CtrlApostropheBringsBackTheValueLastConfirmed) {
  addBidder("Farmacija d.o.o.");
  openForm([](rt::HeadlessWindow& w) {
    w.type("?PON:NASLOV", "Glavni trg 5");
    w.press("?OK");
  });
  openForm([](rt::HeadlessWindow& w) {
    w.type("?PON:NASLOV", "Drugje 9");
    EXPECT_TRUE(w.alert("?PON:NASLOV", rt::AlertKey::CtrlApostrophe));
    EXPECT_EQ(w.text("?PON:NASLOV"), "Glavni trg 5");
    w.press("?CANCEL");
  });
  // Not yet confirmed in this run: the history record is blank.
  rt::HeadlessUi ui2;
  rt::Session s2(ui2, dir.path());
  rt::Program p2(s2);
  s2.setProgram(&p2);
  registerProcedures(p2);
  rt::Context c2(s2);
  ui2.windowHost().onOpen("upponud", [](rt::HeadlessWindow& w) {
    w.alert("?PON:NAZIV", rt::AlertKey::CtrlApostrophe);
    EXPECT_EQ(w.text("?PON:NAZIV"), "");
    w.press("?CANCEL");
  });
  rt::FileUse use(c2, FileId::Ponudnik);
  c2.file(FileId::Ponudnik).setFileOrder();
  ASSERT_TRUE(c2.file(FileId::Ponudnik).next(c2.buf(FileId::Ponudnik)));
  c2.globalRequest = rt::req::Change;
  p2.call("upponud", c2);
}

TEST_F(BidderFormTest, AnotherStationsChangeShowsWarning38AndThenThatVersion) {
  addBidder("Farmacija d.o.o.");
  int response = openForm([&](rt::HeadlessWindow& w) {
    // Meanwhile another window changes the record.
    {
      rt::Context other(session);
      rt::FileUse use(other, FileId::Ponudnik);
      auto& f = other.file(FileId::Ponudnik);
      f.setFileOrder();
      ASSERT_TRUE(f.next(other.buf(FileId::Ponudnik)));
      other.rec<Ponudnik>(FileId::Ponudnik).naziv.set(cp("Druga postaja"));
      ASSERT_TRUE(f.put(other.buf(FileId::Ponudnik)));
    }
    w.type("?PON:POSTA", "2000 Maribor");
    w.press("?OK");
    EXPECT_TRUE(w.isOpen());
    EXPECT_EQ(w.text("?PON:NAZIV"), "Druga postaja");
    EXPECT_EQ(w.text("?PON:POSTA"), "1000 Ljubljana");
    EXPECT_EQ(w.focused(), "?PON:NAZIV");
    // The user's own value comes back field by field.
    w.alert("?PON:POSTA", rt::AlertKey::CtrlApostrophe);
    EXPECT_EQ(w.text("?PON:POSTA"), "2000 Maribor");
    w.press("?OK");
  });
  ASSERT_GE(lines().size(), 1u);
  EXPECT_EQ(lines()[0],
            "Record Was Not Updated: This record was changed by another station. Those changes will now be displayed. "
            "Use the Ditto Button or Ctrl+' to recall your changes.");
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_EQ(stored(), std::vector<std::string>{"Druga postaja"});
  RecordFile f(fileDef(FileId::Ponudnik), dir.path());
  RecordBuffer b(FileId::Ponudnik);
  ASSERT_TRUE(f.open());
  f.setFileOrder();
  ASSERT_TRUE(f.next(b));
  EXPECT_EQ(b.as<Ponudnik>().posta.utf8(), "2000 Maribor");
}

TEST_F(BidderFormTest, ClosingTheWindowCancels) {
  addBidder("Farmacija d.o.o.");
  EXPECT_EQ(openForm([](rt::HeadlessWindow& w) {
              w.type("?PON:NAZIV", "X");
              w.requestClose();
            }),
            rt::resp::Cancelled);
  EXPECT_EQ(stored(), std::vector<std::string>{"Farmacija d.o.o."});
  EXPECT_EQ(ctx.uses(FileId::Ponudnik), 0);
}

}  // namespace
}  // namespace tdx::shell::test
