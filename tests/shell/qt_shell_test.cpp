// The shell's windows on the screen (the offscreen platform): the frame's
// start-up messages, title, menu and status bar, the bidder form as a
// window-modal dialog, and every window grabbed to a picture and checked
// for cut or overlapping texts. Set TENDRIX_SCREENSHOTS to a folder to keep
// the pictures.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include "app/demo_tender.h"
#include "runtime/context.h"
#include "runtime/qt_frame.h"
#include "runtime/qt_program.h"
#include "runtime/qt_test_helpers.h"
#include "runtime/qt_ui.h"
#include "runtime/qt_window_host.h"
#include "shell/main_frame_menu.h"
#include "shell/register.h"
#include "shell/shell_fixture.h"

namespace tdx::shell::test {
namespace {

using tdx::test::drain;
using tdx::test::MessageAnswers;

class QtShellTest : public ::testing::Test {
 protected:
  TempFolder dir{"qtshell"};
  rt::QtUi ui;
  rt::Session session{ui, dir.path()};
  rt::QtProgram program{session, ui};

  QtShellTest() {
    ui.attach(session);
    session.setProgram(&program);
    registerProcedures(program);
  }
  ~QtShellTest() override {
    program.closeAll();
    drain(20);
  }

  void demoTender() {
    app::demo::DemoOptions o;
    o.items = 60;
    o.registry = 100;
    auto t = app::demo::planDemoTender(o);
    app::demo::writeDemoTender(t, dir.path());
  }
  QMainWindow* frameWindow() { return ui.host().frameWindow(); }
  static QWidget* window(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w->windowTitle() == title) return w;
    if (auto* frame = qobject_cast<QMainWindow*>(QApplication::activeWindow())) {
      if (auto* area = qobject_cast<QMdiArea*>(frame->centralWidget()))
        for (auto* sub : area->subWindowList())
          if (sub->isVisible() && sub->windowTitle() == title) return sub;
    }
    return nullptr;
  }
};

QAction* menuAction(QMainWindow* f, const QString& text) {
  for (QAction* a : f->findChildren<QAction*>())
    if (a->text() == text) return a;
  return nullptr;
}

// Texts that do not fit their control, and controls that overlap a
// neighbour (frames, groups and sheets hold others and may).
std::vector<std::string> layoutFaults(QWidget* top) {
  std::vector<std::string> faults;
  auto name = [](QWidget* w) {
    return (w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName()).toStdString();
  };
  for (auto* l : top->findChildren<QLabel*>()) {
    if (!l->isVisible() || l->wordWrap() || l->text().isEmpty() || l->objectName().isEmpty()) continue;
    int need = l->fontMetrics().horizontalAdvance(l->text()) + 2 * l->margin();
    if (need > l->width() + 1) faults.push_back(name(l) + " cut: needs " + std::to_string(need) + " has " + std::to_string(l->width()));
    if (l->fontMetrics().height() > l->height() + 1) faults.push_back(name(l) + " cut in height");
  }
  for (auto* b : top->findChildren<QAbstractButton*>()) {
    // Toolbar buttons show an icon in a box of fixed size.
    if (!b->isVisible() || b->objectName().isEmpty() || b->objectName().startsWith("qt_") || qobject_cast<QToolButton*>(b))
      continue;
    if (b->sizeHint().width() > b->width() + 1 || b->sizeHint().height() > b->height() + 4)
      faults.push_back(name(b) + " cut: needs " + std::to_string(b->sizeHint().width()) + "x" +
                       std::to_string(b->sizeHint().height()) + " has " + std::to_string(b->width()) + "x" +
                       std::to_string(b->height()));
  }
  std::vector<QWidget*> placed;
  for (auto* w : top->findChildren<QWidget*>()) {
    if (!w->isVisible() || !w->objectName().startsWith('?')) continue;
    if (qobject_cast<QGroupBox*>(w) || qobject_cast<QTabWidget*>(w) || qobject_cast<QFrame*>(w) && !qobject_cast<QLabel*>(w))
      continue;
    for (auto* o : placed)
      if (o->parentWidget() == w->parentWidget() && o->geometry().intersects(w->geometry()))
        faults.push_back(name(o) + " overlaps " + name(w));
    placed.push_back(w);
    QWidget* p = w->parentWidget();
    if (p && !p->rect().contains(w->geometry())) faults.push_back(name(w) + " leaves its window");
  }
  return faults;
}

void keep(QWidget* w, const char* file) {
  QImage image = w->grab().toImage();
  ASSERT_FALSE(image.isNull());
  QString folder = qEnvironmentVariable("TENDRIX_SCREENSHOTS");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  ASSERT_TRUE(image.save(folder + "/" + file)) << file;
}

TEST_F(QtShellTest, MissingItemsFileIsAStopMessageAndNothingIsCreated) {
  MessageAnswers answers({});
  EXPECT_EQ(program.start("Main"), 0u);
  drain();
  EXPECT_EQ(answers.seen, std::vector<std::string>{"Opozorilo: Ne obstaja datoteka podatki.dat!"});
  EXPECT_TRUE(QDir(QString::fromStdString(dir.path().string())).entryList(QDir::Files).isEmpty());
}

TEST_F(QtShellTest, EmptyItemsFileIsAStopMessage) {
  ASSERT_TRUE(RecordFile(fileDef(FileId::Podatki), dir.path()).create());
  MessageAnswers answers({});
  EXPECT_EQ(program.start("Main"), 0u);
  drain();
  EXPECT_EQ(answers.seen, std::vector<std::string>{"Opozorilo: Datoteka podatki.dat je prazna!"});
  EXPECT_EQ(frameWindow(), nullptr);
}

TEST_F(QtShellTest, FrameShowsTheApplicantTheMenuTheToolbarAndTheStatusBar) {
  demoTender();
  auto id = program.start("Main");
  ASSERT_NE(id, 0u);
  drain();
  QMainWindow* f = frameWindow();
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(f->windowTitle().startsWith(QString::fromUtf8(kFrameTitle) + " (Prijavitelj: ")) << f->windowTitle().toStdString();
  EXPECT_FALSE(f->windowTitle().contains("neznani"));
  QStringList menus;
  for (QAction* a : f->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"&1) Datoteka", "&2) Pregled podatkov in vnos sprememb", "&3) Priprava podatkov za eJN",
                                "&4) Specifikacija zahtev (PDF)", "&5) Navodila", "&6) Izbor okna",
                                "&7) Posodobitev podatkov o zdravilih", "Vi&zitka", " ", "&X-Izhod"}));
  QString date = f->statusBar()->findChildren<QLabel*>().value(2)->text();
  EXPECT_TRUE(date.contains(", ") && date.endsWith(QString::number(QDate::currentDate().year()))) << date.toStdString();
  EXPECT_EQ(f->statusBar()->findChildren<QLabel*>().value(3)->text().size(), 8);
  keep(f, "main.png");
  QMenu* file = f->menuBar()->actions().value(0)->menu();
  ASSERT_NE(file, nullptr);
  file->popup(f->mapToGlobal(QPoint(0, f->menuBar()->height())));
  drain();
  keep(file, "main-menu.png");
  EXPECT_EQ(file->actions().last()->text(), "&X) Izhod\tAlt-F4");
  EXPECT_FALSE(file->actions().last()->icon().isNull());
  file->hide();
  EXPECT_EQ(layoutFaults(f), std::vector<std::string>{});
  // Closing by the system menu ends the frame.
  f->close();
  drain();
  EXPECT_FALSE(program.running(id));
}

TEST_F(QtShellTest, BidderFormIsAWindowModalDialogThatWritesWhatIsTyped) {
  demoTender();
  ASSERT_NE(program.start("Main"), 0u);
  drain();
  QWidget* seen = nullptr;
  std::vector<std::string> faults;
  QTimer::singleShot(30, [&] {
    seen = window("Podatki o prijavitelju / ponudniku");
    if (!seen) return;
    keep(seen, "upponud.png");
    faults = layoutFaults(seen);
    EXPECT_TRUE(seen->isWindow());
    EXPECT_TRUE(seen->findChild<QPushButton*>("?DELETE")->isVisible());  // the demo has a bidder
    auto* name = seen->findChild<QLineEdit*>("?PON:NAZIV");
    name->setFocus();
    name->selectAll();
    tdx::test::typeText(name, "Nova lekarna d.o.o.");
    auto* ok = seen->findChild<QPushButton*>("?OK");
    ok->setFocus();
    tdx::test::press(ok, Qt::Key_Return);
  });
  QAction* bidderItem = menuAction(frameWindow(), "&9) Podatki o prijavitelju/ponudniku");
  ASSERT_NE(bidderItem, nullptr);
  bidderItem->trigger();  // returns when the form has closed
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(faults, std::vector<std::string>{});
  RecordFile bidder(fileDef(FileId::Ponudnik), dir.path());
  RecordBuffer b(FileId::Ponudnik);
  ASSERT_TRUE(bidder.open());
  bidder.setFileOrder();
  ASSERT_TRUE(bidder.next(b));
  EXPECT_EQ(b.as<Ponudnik>().naziv.utf8(), "Nova lekarna d.o.o.");
}

TEST_F(QtShellTest, AboutAndTransferWindowsShowTheirTextsWhole) {
  demoTender();
  ASSERT_NE(program.start("Main"), 0u);
  drain();
  menuAction(frameWindow(), "Vi&zitka")->trigger();
  drain();
  QWidget* about = window("Vizitka");
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(about->findChild<QLabel*>("?KUP:NAZ01")->text().isEmpty());
  keep(about, "vizitka.png");
  EXPECT_EQ(layoutFaults(about), std::vector<std::string>{});
  about->findChild<QPushButton*>("?OKBUTTON")->setFocus();
  tdx::test::press(about->findChild<QPushButton*>("?OKBUTTON"), Qt::Key_Return);
  drain(20);
  EXPECT_EQ(window("Vizitka"), nullptr);

  menuAction(frameWindow(), "&3) Priprava podatkov za eJN")->trigger();
  drain();
  QWidget* ejn = window("Priprava podatkov za eJN");
  ASSERT_NE(ejn, nullptr);
  keep(ejn, "pcenik.png");
  EXPECT_EQ(layoutFaults(ejn), std::vector<std::string>{});
  keep(frameWindow(), "main-with-windows.png");
}

TEST_F(QtShellTest, RegistryUpdateWindowStaysPaintedWhileTheBatchFileRuns) {
  demoTender();
  tdx::test::writeFile(dir / "copyzdr.bat", "sleep 1\n");
  ASSERT_NE(program.start("Main"), 0u);
  drain();
  bool shown = false;
  QTimer::singleShot(400, [&] {
    QWidget* w = window("Poteka prenos...");
    shown = w != nullptr;
    if (w) keep(w, "posodobizdr.png");
  });
  menuAction(frameWindow(), "&7) Posodobitev podatkov o zdravilih")->trigger();
  drain(1300);
  EXPECT_TRUE(shown);
  EXPECT_EQ(window("Poteka prenos..."), nullptr);
}

class Steps : public rt::TimedTask {
 public:
  int ticks = 0;
  std::function<void()> atTick5;
  void opened(rt::ProgressWindow& w) override {
    w.setUserText("Izvoz ponudb v Paraldbf.dbf");
    w.setPercentText("0 %");
  }
  bool tick(rt::ProgressWindow& w) override {
    ++ticks;
    w.setPercent(ticks * 10);
    w.setPercentText(std::to_string(ticks * 10) + " %");
    if (ticks == 5 && atTick5) atTick5();
    return ticks < 10;
  }
  void cancelled() override {}
  void closed() override {}
};

TEST_F(QtShellTest, ProgressWindowShowsTheTextTheBarAndThePercentage) {
  auto task = std::make_shared<Steps>();
  std::vector<std::string> faults;
  bool grabbed = false;
  task->atTick5 = [&] {
    QWidget* w = window("Obdelava zapisov...");
    if (!w) return;
    grabbed = true;
    keep(w, "progress.png");
    faults = layoutFaults(w);
    EXPECT_EQ(w->findChild<QLabel*>("?PCTTEXT")->text(), "50 %");
    EXPECT_EQ(w->findChild<QPushButton*>("?PROGRESS:CANCEL")->text(), "&Prekini");
  };
  ui.runProgress(task, rt::ProgressSpec{}, true);
  EXPECT_EQ(task->ticks, 10);
  EXPECT_TRUE(grabbed);
  EXPECT_EQ(faults, std::vector<std::string>{});
}

}  // namespace
}  // namespace tdx::shell::test
