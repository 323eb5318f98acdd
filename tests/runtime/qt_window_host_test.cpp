// The Qt window host with its two companions: focus highlight, Enter and
// arrow keys, entries read back through their pictures, buttons, lists,
// window positions, the program ending from inside an event.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "records/fields.h"
#include "runtime/context.h"
#include "runtime/frame.h"
#include "runtime/positions.h"
#include "runtime/qt_frame.h"
#include "runtime/qt_list_control.h"
#include "runtime/qt_program.h"
#include "runtime/qt_test_helpers.h"
#include "runtime/qt_ui.h"
#include "runtime/qt_window.h"
#include "runtime/qt_window_host.h"
#include "runtime/report_fonts.h"
#include "support/temp_folder.h"

namespace tdx::rt {
namespace {

using test::activate;
using test::drain;
using test::press;
using test::typeText;

struct Fields {
  Str<10> name;
  Str<10> place;
  Dec<9, 2> price;
  std::string notes;
  std::string line;
  std::int16_t flag = 0;
};

class Recorder : public WindowEvents {
 public:
  std::vector<std::string> log;
  std::function<void(Window&, const Event&)> react;
  void onEvent(Window& w, const Event& e) override {
    static const char* kinds[] = {"Opened", "Accepted", "Pressed", "NewSelection", "Alert",
                                  "GainFocus", "Resized", "CloseRequest", "Timer", "Posted"};
    if (e.kind == Event::Kind::GainFocus || e.kind == Event::Kind::Resized) return;
    log.push_back(std::string(kinds[int(e.kind)]) + (e.label.empty() ? "" : " " + e.label));
    if (react) react(w, e);
  }
};

class QtHostTest : public ::testing::Test {
 protected:
  test::TempFolder dir{"qthost"};
  QtUi ui;
  Session session{ui, dir.path()};
  Fields f;
  Recorder events;
  std::unique_ptr<Window> win;

  QtHostTest() { ui.attach(session); }
  ~QtHostTest() override {
    win.reset();
    drain();
  }

  WindowSpec spec() {
    WindowSpec s;
    s.title = "Obrazec";
    s.positionName = "obrazec";
    s.width = 200;
    s.height = 120;
    auto add = [&](ControlSpec c) { s.controls.push_back(std::move(c)); };
    ControlSpec name{"?NAME", ControlKind::Entry};
    name.picture = "@s10";
    name.value = bind(f.name);
    name.at = {60, 4, 80, 12};
    add(name);
    ControlSpec place{"?PLACE", ControlKind::Entry};
    place.picture = "@s10";
    place.value = bind(f.place);
    place.required = true;
    place.at = {60, 20, 80, 12};
    add(place);
    ControlSpec price{"?PRICE", ControlKind::Entry};
    price.picture = "@n10`2";
    price.value = bind(f.price);
    price.at = {60, 36, 80, 12};
    add(price);
    ControlSpec notes{"?NOTES", ControlKind::Text};
    notes.value = bind(f.notes, 60);
    notes.at = {60, 52, 80, 24};
    add(notes);
    ControlSpec line{"?LINE", ControlKind::Text};
    line.single = true;
    line.value = bind(f.line, 20);
    line.at = {60, 80, 80, 12};
    add(line);
    ControlSpec ok{"?OK", ControlKind::Button, "&OK"};
    ok.at = {4, 100, 50, 14};
    add(ok);
    ControlSpec cancel{"?CANCEL", ControlKind::Button, "&Prekliči"};
    cancel.at = {60, 100, 50, 14};
    add(cancel);
    ControlSpec hidden{"?HIDDEN", ControlKind::Entry};
    hidden.hidden = true;
    hidden.value = bind(f.place);
    hidden.at = {150, 4, 40, 12};
    add(hidden);
    ControlSpec tool{"?TOOL", ControlKind::Entry};
    tool.inToolbar = true;
    tool.value = bind(f.name);
    add(tool);
    return s;
  }

  QtWindow& open(WindowSpec s) {
    win = ui.host().openWindow(s, events);
    auto& w = static_cast<QtWindow&>(*win);
    EXPECT_TRUE(activate(w.top()));
    drain();
    return w;
  }
  QtWindow& open() { return open(spec()); }
  QWidget* widget(const char* label) { return static_cast<QtWindow&>(*win).controls().widget(label); }
  QLineEdit* edit(const char* label) { return qobject_cast<QLineEdit*>(widget(label)); }
  static bool yellow(QWidget* w) { return w->palette().color(QPalette::Base) == QColor(255, 255, 0); }
  static bool bold(QWidget* w) { return w->font().bold(); }
};

TEST_F(QtHostTest, FocusedEntryIsYellowAndBoldAndTabbingToAButtonRestoresIt) {
  f.name.set("Ana");
  auto& w = open();
  QColor normal = edit("?PRICE")->palette().color(QPalette::Base);
  w.focus("?NAME");
  drain();
  EXPECT_TRUE(yellow(edit("?NAME")));
  EXPECT_TRUE(bold(edit("?NAME")));
  EXPECT_EQ(edit("?NAME")->text(), "Ana");
  // A required entry is yellow as well.
  press(edit("?NAME"), Qt::Key_Tab);
  EXPECT_TRUE(yellow(edit("?PLACE")));
  EXPECT_FALSE(yellow(edit("?NAME")));
  EXPECT_FALSE(bold(edit("?NAME")));
  w.focus("?LINE");
  drain();
  press(edit("?LINE"), Qt::Key_Tab);
  EXPECT_EQ(w.focused(), "?OK");
  EXPECT_EQ(edit("?LINE")->palette().color(QPalette::Base), normal);
  EXPECT_FALSE(bold(edit("?LINE")));
  EXPECT_FALSE(yellow(widget("?OK")));
  EXPECT_FALSE(bold(widget("?OK")));
}

TEST_F(QtHostTest, ControlsInTheToolbarOrHiddenAreNeverPainted) {
  auto& w = open();
  w.focus("?TOOL");
  drain();
  EXPECT_FALSE(yellow(widget("?TOOL")));
  w.focus("?HIDDEN");
  drain();
  EXPECT_FALSE(yellow(widget("?HIDDEN")));
  EXPECT_EQ(w.controls().highlighter().highlighted(), nullptr);
}

TEST_F(QtHostTest, ResizingKeepsTheHighlight) {
  auto& w = open();
  w.focus("?PRICE");
  drain();
  ASSERT_TRUE(yellow(edit("?PRICE")));
  w.top()->resize(w.top()->size() + QSize(80, 40));
  drain();
  EXPECT_TRUE(yellow(edit("?PRICE")));
  w.top()->showMaximized();
  drain();
  EXPECT_TRUE(yellow(edit("?PRICE")));
  EXPECT_TRUE(bold(edit("?PRICE")));
}

TEST_F(QtHostTest, UpAndDownMoveBetweenEntriesLeftAndRightMoveTheCaret) {
  f.place.set("Celje");
  auto& w = open();
  w.focus("?PLACE");
  drain();
  edit("?PLACE")->setCursorPosition(2);
  press(edit("?PLACE"), Qt::Key_Right);
  EXPECT_EQ(w.focused(), "?PLACE");
  EXPECT_EQ(edit("?PLACE")->cursorPosition(), 3);
  press(edit("?PLACE"), Qt::Key_Left);
  press(edit("?PLACE"), Qt::Key_Left);
  EXPECT_EQ(edit("?PLACE")->cursorPosition(), 1);
  press(edit("?PLACE"), Qt::Key_Down);
  EXPECT_EQ(w.focused(), "?PRICE");
  press(edit("?PRICE"), Qt::Key_Up);
  press(edit("?PLACE"), Qt::Key_Up);
  EXPECT_EQ(w.focused(), "?NAME");
  EXPECT_TRUE(yellow(edit("?NAME")));
}

TEST_F(QtHostTest, EnterPressesAButtonMovesOnFromAnEntryAndBreaksALineInATextBox) {
  auto& w = open();
  w.focus("?NAME");
  drain();
  press(edit("?NAME"), Qt::Key_Return);
  EXPECT_EQ(w.focused(), "?PLACE");
  w.focus("?NOTES");
  drain();
  auto* notes = qobject_cast<QPlainTextEdit*>(widget("?NOTES"));
  typeText(notes, "a");
  press(notes, Qt::Key_Return);
  typeText(notes, "b");
  EXPECT_EQ(w.focused(), "?NOTES");
  EXPECT_EQ(notes->toPlainText(), "a\nb");
  w.focus("?LINE");
  drain();
  press(edit("?LINE"), Qt::Key_Return);
  EXPECT_EQ(w.focused(), "?OK");
  // The arrows move between buttons; Enter presses the focused one.
  press(widget("?OK"), Qt::Key_Right);
  EXPECT_EQ(w.focused(), "?CANCEL");
  press(widget("?CANCEL"), Qt::Key_Return);
  EXPECT_EQ(events.log.back(), "Pressed ?CANCEL");
  EXPECT_EQ(std::count(events.log.begin(), events.log.end(), "Accepted ?NAME"), 1);  // Enter accepts unchanged
}

TEST_F(QtHostTest, ChangedEntryIsReadBackWhenLeftAndARefusedOneKeepsTheFocus) {
  f.price.set(Decimal(5));
  auto& w = open();
  w.focus("?PRICE");
  drain();
  EXPECT_EQ(edit("?PRICE")->text(), "5,00");
  edit("?PRICE")->selectAll();
  typeText(edit("?PRICE"), "1.234,5");
  press(edit("?PRICE"), Qt::Key_Tab);
  EXPECT_EQ(f.price.get(), Decimal::fromUnits(123450, 2));
  EXPECT_EQ(edit("?PRICE")->text(), "1.234,50");
  EXPECT_EQ(w.focused(), "?NOTES");
  EXPECT_EQ(events.log, (std::vector<std::string>{"Opened", "Accepted ?PRICE"}));

  w.focus("?PRICE");
  drain();
  edit("?PRICE")->selectAll();
  typeText(edit("?PRICE"), "12x");
  int beeps = ui.beeps();
  press(edit("?PRICE"), Qt::Key_Tab);
  drain();
  EXPECT_EQ(ui.beeps(), beeps + 1);
  EXPECT_EQ(edit("?PRICE")->text(), "1.234,50");
  EXPECT_EQ(w.focused(), "?PRICE");
  // A button clicked meanwhile is not pressed: the refused entry stops it.
  edit("?PRICE")->selectAll();
  typeText(edit("?PRICE"), "abc");
  static_cast<QPushButton*>(widget("?OK"))->click();
  drain();
  EXPECT_EQ(std::count(events.log.begin(), events.log.end(), "Pressed ?OK"), 0);
}

TEST_F(QtHostTest, AlertKeysReachTheProcedureOnlyWhereAssigned) {
  WindowSpec s = spec();
  s.alerts.push_back({"?NAME", AlertKey::CtrlApostrophe});
  auto& w = open(s);
  w.focus("?NAME");
  drain();
  press(edit("?NAME"), Qt::Key_Apostrophe, Qt::ControlModifier, "'");
  press(edit("?PLACE"), Qt::Key_Apostrophe, Qt::ControlModifier, "'");
  EXPECT_EQ(events.log, (std::vector<std::string>{"Opened", "Alert ?NAME"}));
}

TEST_F(QtHostTest, ProgramEndInsideAnEventStopsTheLoopsWithoutCrossingQt) {
  auto& w = open();
  events.react = [](Window&, const Event& e) {
    if (e.kind == Event::Kind::Pressed) throw ProgramEnd(kHaltStatus, "Disk Error");
  };
  w.focus("?OK");
  press(w.controls().widget("?OK"), Qt::Key_Return);
  drain();
  ASSERT_TRUE(ui.endStatus().has_value());
  EXPECT_EQ(*ui.endStatus(), kHaltStatus);
}

TEST_F(QtHostTest, WindowSavedMaximisedComesBackMaximisedOneSavedMinimisedOpensAtItsPlace) {
  {
    auto& w = open();
    w.top()->showMaximized();
    drain();
    w.close();
  }
  win.reset();
  drain();
  {
    auto& w = open();
    EXPECT_TRUE(w.top()->isMaximized());
    w.top()->showNormal();
    w.top()->move(120, 80);
    drain();
    w.close();
  }
  win.reset();
  drain();
  QPoint normalPlace;
  {
    auto& w = open();
    EXPECT_FALSE(w.top()->isMaximized());
    normalPlace = w.top()->pos();
    EXPECT_NEAR(normalPlace.x(), 120, 4);
    EXPECT_NEAR(normalPlace.y(), 80, 4);
    w.top()->showMinimized();
    drain();
    w.close();
  }
  win.reset();
  drain();
  auto& w = open();
  EXPECT_FALSE(w.top()->isMinimized());
  EXPECT_FALSE(w.top()->isMaximized());
  auto plan = session.positions().restore("obrazec", false, true);
  EXPECT_TRUE(plan.apply);
  EXPECT_FALSE(plan.x.has_value());  // a minimised window leaves its place to the system
}

TEST_F(QtHostTest, TextIsDrawnWithAnInstalledFont) {
  // Without any font, every window and PDF silently loses its texts.
  ASSERT_NO_THROW(report::requireFonts()) << "install fonts-dejavu-core and fonts-liberation2";
  WindowSpec s;
  s.title = "Pisava";
  ControlSpec big{"?TEXT", ControlKind::String, "Šifra ŽČŠ"};
  big.at = {4, 4, 120, 20};
  big.fontSize = 16;
  s.controls.push_back(big);
  auto& w = open(s);
  QImage image = w.controls().widget("?TEXT")->grab().toImage();
  int dark = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 100;
  EXPECT_GT(dark, 30);
  for (const char* family : {"MS Sans Serif", "Times New Roman CE", "Verdana", "Trebuchet MS"})
    EXPECT_FALSE(report::installedFamily(family).isEmpty()) << family;
}

// A list of n rows with a movable highlight, recording the calls it gets.
class FakeList : public BrowseList {
 public:
  explicit FakeList(int n) : n_(n) {
    cols_ = {{"Šifra", 30, Align::Right, Align::Center}, {"Naziv", 80}};
  }
  std::vector<std::string> calls;
  const std::vector<BrowseColumn>& columns() const override { return cols_; }
  const std::vector<RowStyle>& styles() const override { return styles_; }
  void setPageSize(int rows) override { page_ = rows; }
  int pageSize() const override { return page_; }
  int rows() const override { return std::min(page_, n_); }
  std::string cell(int row, int column) const override {
    return column == 0 ? std::to_string(top_ + row + 1) : "Vrstica " + std::to_string(top_ + row + 1);
  }
  int styleOf(int) const override { return -1; }
  int current() const override { return cur_; }
  void select(int row) override { move("select", row); }
  void up() override { move("up", cur_ - 1); }
  void down() override { move("down", cur_ + 1); }
  void pageUp() override { calls.push_back("pageUp"); }
  void pageDown() override { calls.push_back("pageDown"); }
  void home() override { move("home", 0); }
  void end() override { move("end", rows() - 1); }
  void scrollBy(int r) override { calls.push_back("scrollBy " + std::to_string(r)); }
  int thumb() const override { return cur_ * 10; }
  void dragThumb(int p) override { calls.push_back("drag " + std::to_string(p)); }

 private:
  void move(const char* what, int to) {
    calls.push_back(what);
    cur_ = std::clamp(to, 0, rows() - 1);
    if (onChanged) onChanged();
    if (onNewSelection) onNewSelection();
  }
  int n_, page_ = 5, cur_ = 0, top_ = 0;
  std::vector<BrowseColumn> cols_;
  std::vector<RowStyle> styles_;
};

TEST_F(QtHostTest, ListTakesItsPageSizeFromItsHeightAndMapsKeysAndTheScrollBar) {
  FakeList list(100);
  WindowSpec s;
  s.title = "Seznam";
  ControlSpec l{"?LIST", ControlKind::List};
  l.list = &list;
  l.at = {4, 4, 150, 100};
  s.controls.push_back(l);
  ControlSpec ok{"?OK", ControlKind::Button, "&OK"};
  ok.at = {4, 108, 40, 14};
  s.controls.push_back(ok);
  s.alerts.push_back({"?LIST", AlertKey::Insert});
  auto& w = open(s);
  auto* lc = qobject_cast<ListControl*>(w.controls().widget("?LIST"));
  ASSERT_NE(lc, nullptr);
  int expected = lc->viewport()->height() / lc->rowHeight();
  EXPECT_EQ(list.pageSize(), expected);
  EXPECT_GE(expected, 5);
  w.focus("?LIST");
  drain();
  press(lc, Qt::Key_Down);
  press(lc, Qt::Key_Down);
  press(lc, Qt::Key_PageDown);
  drain();
  press(lc, Qt::Key_Insert);
  EXPECT_EQ(list.calls, (std::vector<std::string>{"down", "down", "pageDown"}));
  EXPECT_EQ(lc->verticalScrollBar()->value(), 20);
  EXPECT_EQ(std::count(events.log.begin(), events.log.end(), "NewSelection ?LIST"), 2);
  EXPECT_EQ(events.log.back(), "Alert ?LIST");
  // A list keeps its look when focused; its keys are its own (Enter, Left
  // and Right go to the browse keys' slots, so they do not move on).
  EXPECT_FALSE(yellow(lc));
  press(lc, Qt::Key_Right);
  EXPECT_EQ(w.focused(), "?LIST");
}

TEST_F(QtHostTest, ChildWindowsGoIntoTheFrameAndCalledOnesAreWindowModal) {
  FrameSpec fs;
  fs.title = "Okvir";
  fs.positionName = "okvir";
  fs.statusZones = {-1, 40};
  MenuSpec item;
  item.label = "?GO";
  item.text = "&Naprej";
  fs.menu.push_back(item);
  Recorder frameEvents;
  auto frame = ui.host().openFrame(fs, frameEvents);
  auto* qf = static_cast<QtFrame*>(frame.get());
  drain();
  auto& child = open();
  EXPECT_EQ(child.top()->parentWidget() ? child.top()->window() : nullptr, qf->window());
  EXPECT_EQ(frame->childTitles(), std::vector<std::string>{"Obrazec"});
  WindowSpec modal = spec();
  modal.modal = true;
  modal.title = "Izbor";
  Recorder modalEvents;
  auto dialog = ui.host().openWindow(modal, modalEvents);
  drain();
  auto* top = static_cast<QtWindow&>(*dialog).top();
  EXPECT_TRUE(top->isWindow());
  EXPECT_EQ(top->windowModality(), Qt::WindowModal);
  qf->action("?GO")->trigger();
  drain();
  EXPECT_EQ(frameEvents.log.back(), "Pressed ?GO");
  frame->setStatus(2, "Ponedeljek");
  EXPECT_EQ(frame->status(2), "Ponedeljek");
  dialog.reset();
  win.reset();
  frame.reset();
  drain();
}

}  // namespace
}  // namespace tdx::rt
