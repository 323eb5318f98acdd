// The tender windows on the screen (the offscreen platform), driven by key
// presses as a user would, and grabbed to pictures. Set TENDRIX_SCREENSHOTS
// to a folder to keep them.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/demo_tender.h"
#include "runtime/qt_list_control.h"
#include "runtime/qt_program.h"
#include "runtime/qt_test_helpers.h"
#include "runtime/qt_ui.h"
#include "tender/items_browser.h"
#include "tender/offer_form.h"
#include "tender_fixture.h"

namespace tdx::test {
namespace {

using namespace tender::form;

class QtTenderTest : public ::testing::Test, public TenderFiles {
 protected:
  rt::QtUi ui;
  rt::Session session{ui, dir.path()};
  rt::QtProgram program{session, ui};

  QtTenderTest() {
    ui.attach(session);
    session.setProgram(&program);
    app::registerAllProcedures(program);
  }
  ~QtTenderTest() override {
    program.closeAll();
    drain(20);
  }

  static QWidget* window(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w->windowTitle() == title) return w;
    return nullptr;
  }
  QWidget* openItems(std::int16_t group) {
    session.globals().psk = group;
    EXPECT_NE(program.start("brpodatki"), 0u);
    drain();
    QWidget* w = window("Pregled in urejanje podatkov");
    if (w) activate(w);
    return w;
  }
  static QWidget* child(QWidget* w, const char* label) {
    return w ? w->findChild<QWidget*>(label) : nullptr;
  }
  // Types into an entry as a user would (the old text selected first) and
  // leaves it with Enter.
  static void typeInto(QWidget* form, const char* label, const QString& text) {
    auto* e = form->findChild<QLineEdit*>(label);
    ASSERT_NE(e, nullptr) << label;
    e->setFocus();
    e->selectAll();
    typeText(e, text);
    press(e, Qt::Key_Return);
    drain();
  }
  static QString textOf(QWidget* form, const char* label) {
    if (auto* e = form->findChild<QLineEdit*>(label)) return e->text();
    if (auto* l = form->findChild<QLabel*>(label)) return l->text();
    return {};
  }
  static void enterOn(QWidget* form, const char* button) {
    auto* b = form->findChild<QPushButton*>(button);
    ASSERT_NE(b, nullptr) << button;
    b->setFocus();
    press(b, Qt::Key_Return);
    drain();
  }
  // A key on one of the browser's lists; a form it opens is driven by
  // `inForm` from the local event loop the call waits in.
  void keyOnList(QWidget* browser, const char* list, int key, Qt::KeyboardModifiers mods,
                 std::function<void(QWidget*)> inForm, const char* formTitle = "Paralele - urejanje podatkov") {
    QWidget* seen = nullptr;
    QTimer::singleShot(30, [&] {
      seen = window(formTitle);
      if (seen) inForm(seen);
    });
    QWidget* l = child(browser, list);
    ASSERT_NE(l, nullptr);
    l->setFocus();
    press(l, key, mods);
    drain(20);
    ASSERT_NE(seen, nullptr) << formTitle;
  }
};

void keep(QWidget* w, const char* file) {
  QImage image = w->grab().toImage();
  ASSERT_FALSE(image.isNull());
  QString folder = qEnvironmentVariable("TENDRIX_SCREENSHOTS");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  ASSERT_TRUE(image.save(folder + "/" + file)) << file;
}

// Labels and buttons whose text does not fit them.
std::vector<std::string> cutTexts(QWidget* top) {
  std::vector<std::string> out;
  for (auto* l : top->findChildren<QLabel*>()) {
    if (!l->isVisible() || l->wordWrap() || l->text().isEmpty() || !l->objectName().startsWith('?')) continue;
    if (l->fontMetrics().horizontalAdvance(l->text()) > l->width() + 1) out.push_back(l->objectName().toStdString());
  }
  for (auto* b : top->findChildren<QAbstractButton*>()) {
    if (!b->isVisible() || !b->objectName().startsWith('?')) continue;
    // The text and the icon with a little margin; the style's minimum
    // button width does not count.
    QString text = b->text().remove('&');
    int need = b->fontMetrics().horizontalAdvance(text) + (b->icon().isNull() ? 0 : b->iconSize().width() + 4) + 8;
    if (need > b->width()) out.push_back(b->objectName().toStdString() + " needs " + std::to_string(need));
  }
  return out;
}

TEST_F(QtTenderTest, Group28WithoutAMedicineShowsBothMessagesAndSavesNothing) {
  addSubgroup(28, 5, "Sklop 5");
  addItem(28, 5, 1, 100, "Paracetamol");
  session.globals().pskup = 5;
  QWidget* browser = openItems(28);
  ASSERT_NE(browser, nullptr);
  auto* drop = browser->findChild<rt::DropListControl*>(tender::items::kSubgroups);
  ASSERT_NE(drop, nullptr);
  drop->setFocus();
  press(drop, Qt::Key_Down);  // the only entry: subgroup 5
  press(drop, Qt::Key_Up);
  drain();
  MessageAnswers answers({});
  keyOnList(browser, tender::items::kOffers, Qt::Key_Insert, Qt::NoModifier, [&](QWidget* form) {
    enterOn(form, kOk);
    EXPECT_TRUE(form->isVisible());
    enterOn(form, kCancel);
  });
  EXPECT_EQ(answers.seen, (std::vector<std::string>{"Napaka: Ne najdem zdravila z navedeno delovno šifro!",
                                                    "Napaka: Izberite pravilno delovno šifro!"}));
  EXPECT_TRUE(offers().empty());
}

TEST_F(QtTenderTest, TypedPackPricesAgainstTheRegistryPrice) {
  addSubgroup(28, 1, "Zdravila");
  addItem(28, 1, 1, 100, "Paracetamol");
  addMedicine("ABC123", "Lekadol 500 mg", "12.3456");
  addOffer({.idzdr = "ABC123", .name = "Lekadol", .packPrice = "10", .units = 20});
  QWidget* browser = openItems(28);
  ASSERT_NE(browser, nullptr);
  std::vector<QString> shown;
  keyOnList(browser, tender::items::kOffers, Qt::Key_Return, Qt::ControlModifier, [&](QWidget* form) {
    for (const char* typed : {"15", "10", "0"}) {
      typeInto(form, kPackPrice, typed);
      shown.push_back(textOf(form, kPackPrice));
    }
    enterOn(form, kOk);
  });
  EXPECT_EQ(shown, (std::vector<QString>{"12,3456 €", "10,0000 €", "12,3456 €"}));
  ASSERT_EQ(offers().size(), 1u);
  EXPECT_EQ(offers()[0].ncena_az.get(), dec("12.3456"));
}

TEST_F(QtTenderTest, DiscountAndVatGiveThePricesInTheSystemsPictures) {
  addSubgroup(27, 1, "Prehrana");
  addItem(27, 1, 1, 100, "Prehransko dopolnilo");
  QWidget* browser = openItems(27);
  ASSERT_NE(browser, nullptr);
  QString pack, unit, net;
  keyOnList(browser, tender::items::kOffers, Qt::Key_Insert, Qt::NoModifier, [&](QWidget* form) {
    typeInto(form, kUnits, "20");
    typeInto(form, kDiscount, "10");
    typeInto(form, kPackPrice, "100");
    pack = textOf(form, kGrossPack);
    unit = textOf(form, kGross);
    net = textOf(form, kNet);
    keep(form, "upparalela-prices.png");
    enterOn(form, kOk);
  });
  EXPECT_EQ(pack, "98,5500 €");
  EXPECT_EQ(unit, "4,9275 €");
  EXPECT_EQ(net, "4,5000 €");
  ASSERT_EQ(offers().size(), 1u);
  EXPECT_EQ(offers()[0].bcena.get(), dec("4.9275"));
  // The new offer is the highlighted row of the offer list.
  auto* list = browser->findChild<rt::ListControl*>(tender::items::kOffers);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->list().rows(), 1);
  EXPECT_EQ(list->list().cell(0, 9), "4,9275 €");
}

// The demo tender in every window, as the user sees it.
TEST_F(QtTenderTest, WindowsOnTheDemoTender) {
  app::demo::DemoOptions o;
  o.items = 420;
  o.registry = 3000;
  auto t = app::demo::planDemoTender(o);
  using namespace app::demo;
  for (auto write : {writeSkupine, writePskupine, writePodatki, writeOpism, writeZdravnet, writeParalela,
                     writePonudnik, writeKupec, writeVerant, writeZdrapcen})
    write(t, dir.path());
  QWidget* browser = openItems(28);
  ASSERT_NE(browser, nullptr);
  browser->resize(browser->sizeHint().expandedTo(browser->size()));
  drain();
  auto* items = browser->findChild<rt::ListControl*>(tender::items::kItems);
  ASSERT_NE(items, nullptr);
  EXPECT_GT(items->list().rows(), 5);
  // Down to an item with offers, so both lists show rows.
  for (int i = 0; i < 40 && browser->findChild<rt::ListControl*>(tender::items::kOffers)->list().rows() == 0; ++i) {
    items->setFocus();
    press(items, Qt::Key_Down);
    drain();
  }
  keep(browser, "brpodatki.png");
  EXPECT_EQ(cutTexts(browser), std::vector<std::string>{});

  std::vector<std::string> formCut, registryCut;
  keyOnList(browser, tender::items::kOffers, Qt::Key_Return, Qt::ControlModifier, [&](QWidget* form) {
    keep(form, "upparalela.png");
    formCut = cutTexts(form);
    QTimer::singleShot(30, [&] {
      if (QWidget* r = window(QString::fromUtf8("Pregled registriranih zdravil -> https://www.cbz.si [7.3.2022] -> "
                                                "IVDC https://www.jazmp.si [1.4.2022]"))) {
        keep(r, "brzdravnet.png");
        registryCut = cutTexts(r);
        enterOn(r, "?Close");
      }
    });
    enterOn(form, kLookup);
    enterOn(form, kCancel);
  });
  EXPECT_EQ(formCut, std::vector<std::string>{});
  EXPECT_EQ(registryCut, std::vector<std::string>{});
}

}  // namespace
}  // namespace tdx::test
