// The headless window host: typing, leaving, Enter, buttons, the accept-all
// pass, posted events, alert keys, pop-up menus, scripts of called windows.

#include "runtime/headless_window.h"

#include <gtest/gtest.h>

#include "records/fields.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/popup_items.h"
#include "runtime/procedure.h"
#include "support/temp_folder.h"

namespace tdx::rt {
namespace {

struct Fields {
  Str<10> name;
  Dec<9, 2> price;
  std::string notes;
  std::int16_t flag = 0;
};

// A window that records what reaches it and can be told how to react.
class Recorder : public WindowEvents {
 public:
  std::vector<std::string> log;
  std::function<void(Window&, const Event&)> react;
  void onEvent(Window& w, const Event& e) override {
    static const char* kinds[] = {"Opened", "Accepted", "Pressed", "NewSelection", "Alert",
                                  "GainFocus", "Resized", "CloseRequest", "Timer", "Posted"};
    std::string line = kinds[int(e.kind)];
    if (!e.label.empty()) line += " " + e.label;
    if (e.acceptingAll) line += " (all)";
    if (e.kind == Event::Kind::Posted) line += " " + std::to_string(e.code);
    log.push_back(line);
    if (react) react(w, e);
  }
};

WindowSpec formSpec(Fields& f) {
  WindowSpec s;
  s.title = "Form";
  s.positionName = "form";
  auto add = [&](ControlSpec c) { s.controls.push_back(std::move(c)); };
  ControlSpec name{"?NAME", ControlKind::Entry};
  name.picture = "@s10";
  name.value = bind(f.name);
  add(name);
  ControlSpec price{"?PRICE", ControlKind::Entry};
  price.picture = "@n10`2";
  price.value = bind(f.price);
  add(price);
  ControlSpec notes{"?NOTES", ControlKind::Text};
  notes.value = bind(f.notes, 40);
  add(notes);
  ControlSpec flag{"?FLAG", ControlKind::Check, "Flag"};
  flag.value = bind(f.flag);
  add(flag);
  add(ControlSpec{"?OK", ControlKind::Button, "&OK"});
  ControlSpec hidden{"?HIDDEN", ControlKind::Button, "&Hidden"};
  hidden.hidden = true;
  add(hidden);
  s.alerts.push_back({"?NAME", AlertKey::CtrlApostrophe});
  return s;
}

class HeadlessWindowTest : public ::testing::Test {
 protected:
  HeadlessUi ui;
  HeadlessWindowHost& host = ui.windowHost();
  Fields f;
  Recorder events;
  std::unique_ptr<Window> win;
  HeadlessWindow* w = nullptr;

  void open() {
    f.name.set("Ana");
    f.price.set(Decimal::fromUnits(1250, 2));
    win = host.openWindow(formSpec(f), events);
    w = static_cast<HeadlessWindow*>(win.get());
    host.settle();
  }
};

TEST_F(HeadlessWindowTest, ShowsBoundValuesThroughTheirPicturesAndOpensOnce) {
  open();
  EXPECT_EQ(events.log, std::vector<std::string>{"Opened"});
  EXPECT_EQ(w->text("?NAME"), "Ana");
  EXPECT_EQ(w->text("?PRICE"), "12,50");
  EXPECT_EQ(w->text("?OK"), "&OK");
  EXPECT_EQ(w->tabOrder(), (std::vector<std::string>{"?NAME", "?PRICE", "?NOTES", "?FLAG", "?OK"}));
}

TEST_F(HeadlessWindowTest, ChangedEntryIsStoredAndAcceptedWhenLeftUnchangedOneIsNot) {
  open();
  w->focus("?NAME");
  ASSERT_TRUE(w->tab());
  EXPECT_EQ(w->focused(), "?PRICE");
  ASSERT_TRUE(w->type("?PRICE", "1.234,5"));
  EXPECT_EQ(f.price.get(), Decimal::fromUnits(1250, 2));  // not stored before it is left
  ASSERT_TRUE(w->tab());
  EXPECT_EQ(f.price.get(), Decimal::fromUnits(123450, 2));
  EXPECT_EQ(w->text("?PRICE"), "1.234,50");
  EXPECT_EQ(events.log, (std::vector<std::string>{"Opened", "Accepted ?PRICE"}));
  EXPECT_EQ(w->focused(), "?NOTES");
}

TEST_F(HeadlessWindowTest, RefusedEntryBeepsShowsItsValueAgainAndKeepsTheFocus) {
  open();
  struct Case {
    const char* label;
    const char* typed;
  } cases[] = {
      {"?PRICE", "12x"},             // not a number
      {"?PRICE", "99999999999"},     // wider than the picture
      {"?NAME", "far too long text"},  // longer than @s10
      {"?NAME", "\xe2\x82\xac\xe2\x98\x83"},  // a snowman is not in Windows-1250
  };
  int beeps = 0;
  for (const auto& c : cases) {
    std::string before = w->text(c.label);
    ASSERT_TRUE(w->type(c.label, c.typed));
    EXPECT_FALSE(w->tab()) << c.typed;
    EXPECT_EQ(ui.beeps(), ++beeps) << c.typed;
    EXPECT_EQ(w->text(c.label), before) << c.typed;
    EXPECT_EQ(w->focused(), c.label) << c.typed;
  }
  EXPECT_EQ(f.name.view(), "Ana");
  EXPECT_EQ(events.log, std::vector<std::string>{"Opened"});
  // A refused entry also stops the button that was clicked.
  ASSERT_TRUE(w->type("?PRICE", "abc"));
  EXPECT_FALSE(w->press("?OK"));
  EXPECT_EQ(events.log, std::vector<std::string>{"Opened"});
}

TEST_F(HeadlessWindowTest, EnterAcceptsEvenUnchangedAndMovesOnButBreaksALineInATextBox) {
  open();
  ASSERT_TRUE(w->enter("?NAME"));
  EXPECT_EQ(w->focused(), "?PRICE");
  ASSERT_TRUE(w->type("?NOTES", "one"));
  ASSERT_TRUE(w->enter("?NOTES"));
  EXPECT_EQ(w->focused(), "?NOTES");
  EXPECT_EQ(w->text("?NOTES"), "one\n");
  ASSERT_TRUE(w->enter("?OK"));
  EXPECT_EQ(events.log,
            (std::vector<std::string>{"Opened", "Accepted ?NAME", "Accepted ?NOTES", "Pressed ?OK"}));
}

TEST_F(HeadlessWindowTest, HiddenAndDisabledControlsTakeNothing) {
  open();
  EXPECT_FALSE(w->press("?HIDDEN"));
  w->setEnabled("?OK", false);
  EXPECT_FALSE(w->press("?OK"));
  EXPECT_FALSE(w->alert("?PRICE", AlertKey::CtrlApostrophe));  // not an alert key of ?PRICE
  EXPECT_TRUE(w->alert("?NAME", AlertKey::CtrlApostrophe));
  EXPECT_EQ(events.log, (std::vector<std::string>{"Opened", "Alert ?NAME"}));
}

TEST_F(HeadlessWindowTest, AcceptAllGoesThroughEveryValueControlAndStopsWhereTheFocusIsPut) {
  open();
  events.react = [](Window& win, const Event& e) {
    if (e.kind == Event::Kind::Pressed) {
      bool done = win.acceptAll();
      win.post(done ? 1 : 0);
    }
    if (e.kind == Event::Kind::Accepted && e.label == "?NOTES") win.focus("?NAME");
  };
  ASSERT_TRUE(w->type("?PRICE", "3"));
  ASSERT_TRUE(w->press("?OK"));
  EXPECT_EQ(f.price.get(), Decimal(3));
  EXPECT_EQ(events.log, (std::vector<std::string>{"Opened", "Accepted ?PRICE", "Pressed ?OK", "Accepted ?NAME (all)",
                                                  "Accepted ?PRICE (all)", "Accepted ?NOTES (all)", "Posted 0"}));
  EXPECT_EQ(w->focused(), "?NAME");
}

TEST_F(HeadlessWindowTest, PopupAnswersSkipGreyedEntries) {
  open();
  host.answerPopup(2);
  EXPECT_EQ(w->popup("&Dodaj|~&Sprem.|~&Briši"), 0);
  host.answerPopup(1);
  EXPECT_EQ(w->popup("&Dodaj|~&Sprem.|~&Briši"), 1);
  EXPECT_EQ(w->popup("&Dodaj"), 0);  // no answer: dismissed
  EXPECT_EQ(w->lastPopup(), "&Dodaj");
}

TEST(PopupItems, SplitsGreysAndSkipsSeparators) {
  auto items = popupItems("&Dodaj|~&Sprem.|-|~&Briši|");
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].text, "&Dodaj");
  EXPECT_FALSE(items[0].greyed);
  EXPECT_EQ(items[1].text, "&Sprem.");
  EXPECT_TRUE(items[1].greyed);
  EXPECT_EQ(items[2].text, "&Briši");
  EXPECT_EQ(items[3].text, "");
  EXPECT_TRUE(popupItems("").empty());
}

// A called form: its script drives it; left open, it is closed for it.
class Form : public Procedure, public WindowEvents {
 public:
  Form(Context& ctx, const Options& o) : Procedure(ctx, o) {}
  static inline std::vector<std::string> log;
  void begin() override {
    WindowSpec s;
    s.title = "Form";
    s.positionName = "calledform";
    s.modal = true;
    s.controls.push_back(ControlSpec{"?OK", ControlKind::Button, "&OK"});
    win_ = ui().windows()->openWindow(s, *this);
  }
  void onEvent(Window& w, const Event& e) override {
    if (e.kind == Event::Kind::Pressed) log.push_back("ok");
    if (e.kind == Event::Kind::CloseRequest) log.push_back("close");
    if (e.kind == Event::Kind::Pressed || e.kind == Event::Kind::CloseRequest) {
      w.close();
      end();
    }
  }

 private:
  std::unique_ptr<Window> win_;
};

TEST(HeadlessCalls, ScriptDrivesTheCalledWindowAndAWindowLeftOpenIsClosed) {
  test::TempFolder dir("calls");
  HeadlessUi ui;
  Session session(ui, dir.path());
  Program program(session);
  session.setProgram(&program);
  program.add("form", [](Context& c, const Options& o) { return std::make_unique<Form>(c, o); });
  Context ctx(session);
  Form::log.clear();
  ui.windowHost().onOpen("calledform", [](HeadlessWindow& w) { w.press("?OK"); });
  program.call("form", ctx);
  program.call("form", ctx);  // no script left: closed
  EXPECT_EQ(Form::log, (std::vector<std::string>{"ok", "close"}));
  EXPECT_TRUE(ui.windowHost().windows().empty());
}

}  // namespace
}  // namespace tdx::rt
