#include "app/demo_documents.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>

#include "app/demo_names.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/procedure.h"
#include "runtime/report_engine.h"
#include "runtime/report_fonts.h"
#include "runtime/report_render.h"
#include "shell/main_frame_menu.h"
#include "app/procedures.h"

namespace tdx::app::demo {

namespace fs = std::filesystem;

namespace {

void quiet(QtMsgType type, const QMessageLogContext&, const QString& msg) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
}

// The report engine measures with real fonts, which live in a GUI
// application; the demo runs without a screen, so it makes one on the
// offscreen platform for as long as the documents take.
class FontsAvailable {
 public:
  FontsAvailable() {
    if (QCoreApplication::instance()) {
      if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("the documents need a GUI application for their fonts");
      return;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    previous_ = qInstallMessageHandler(quiet);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    report::requireFonts();
  }
  ~FontsAvailable() {
    if (!app_) return;
    app_.reset();
    qInstallMessageHandler(previous_);
  }
  FontsAvailable(const FontsAvailable&) = delete;
  FontsAvailable& operator=(const FontsAvailable&) = delete;

 private:
  static inline int argc_ = 1;
  static inline char name_[] = "tendrix";
  static inline char* argv_[] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
  QtMessageHandler previous_ = nullptr;
};

struct Paragraph {
  enum Kind { Title, Heading, Text, Item } kind;
  std::string text;
};

// A portrait A4 document of headings and wrapped paragraphs with the page
// number at the top of every page.
int writeDocument(const fs::path& file, const std::string& name, const std::string& running,
                  const std::vector<Paragraph>& paragraphs) {
  report::PageLayout layout;
  layout.pageWidth = report::kA4Short;
  layout.pageHeight = report::kA4Long;
  layout.left = 20;
  layout.headerTop = 10;
  layout.bodyTop = 22;
  layout.bodyHeight = 255;
  report::Report r(name, layout);
  const double width = 170;
  report::Band header("header", 8, report::BandKind::PageHeader);
  header.font(report::Font{"Arial CE", 8, false});
  header.text({0, 0, 120, 4}, running);
  header.pageNumber({120, 0, 50, 4}, "@pStran <<<p", report::Align::Right);
  header.line(0, 5, width, 5, 0.2);
  r.setPageHeader(header);

  report::Band title("title", 14);
  title.font(report::Font{"Arial CE", 16, true});
  title.field({0, 2, width, 8}, "", report::Align::Left, report::Flow::Wrap);
  report::Band heading("heading", 10, report::BandKind::GroupHeader);
  heading.font(report::Font{"Arial CE", 12, true});
  heading.field({0, 3, width, 6}, "", report::Align::Left, report::Flow::Wrap);
  report::Band text("text", 6);
  text.font(report::Font{"Times New Roman CE", 11, false});
  text.field({0, 1, width, 5}, "", report::Align::Left, report::Flow::Wrap);
  report::Band item("item", 6);
  item.font(report::Font{"Times New Roman CE", 11, false});
  item.text({3, 1, 5, 5}, "•");
  item.field({8, 1, width - 8, 5}, "", report::Align::Left, report::Flow::Wrap);

  for (const auto& p : paragraphs) {
    report::Band& b = p.kind == Paragraph::Title ? title
                      : p.kind == Paragraph::Heading ? heading
                      : p.kind == Paragraph::Item   ? item
                                                    : text;
    r.print(b, {report::Value(p.text)});
  }
  r.finish();
  std::string error;
  if (!report::writePdf(r.document(), file, &error)) throw std::runtime_error("cannot write " + file.string() + ": " + error);
  return r.pageCount();
}

std::string buyerName() {
  auto lines = buyerLines();
  return lines.empty() ? std::string("naročnik") : std::string(lines[0]);
}

std::vector<Paragraph> specification(const DemoTender& t) {
  auto lines = buyerLines();
  std::string buyer = buyerName();
  std::string address;
  if (lines.size() > 3) address = std::string(lines[2]) + ", " + std::string(lines[3]);
  std::map<int, int> perGroup;
  for (const auto& i : t.items) ++perGroup[i.group];
  std::vector<Paragraph> p{
      {Paragraph::Title, "Specifikacija zahtev naročnika"},
      {Paragraph::Text, buyer + (address.empty() ? "" : ", " + address)},
      {Paragraph::Text, "Predmet javnega naročila: " + (lines.size() > 1 ? std::string(lines[1]) : "dobava zdravil") +
                            ". Naročilo obsega " + std::to_string(t.items.size()) + " postavk v " +
                            std::to_string(perGroup.size()) + " skupinah; postavke, njihove količine in opisi so "
                            "v datoteki podatki.dat, ki jo naročnik izroči skupaj s to specifikacijo."},
      {Paragraph::Heading, "1. Zahteve za ponujena zdravila"},
      {Paragraph::Item, "Ponujeno zdravilo mora imeti veljavno dovoljenje za promet v Republiki Sloveniji, razen v "
                        "sklopih magistralnih pripravkov in zdravil brez dovoljenja za promet."},
      {Paragraph::Item, "Rok uporabe ob dobavi mora biti najmanj dve tretjini celotnega roka uporabe zdravila."},
      {Paragraph::Item, "Za vsako postavko se lahko ponudi več zdravil (paralel); vsako mora ustrezati opisu postavke "
                        "po učinkovini, jakosti in farmacevtski obliki."},
      {Paragraph::Item, "Pakiranje ponudnik navede tako, kot je vpisano v registru zdravil (opis in število enot v "
                        "pakiranju)."},
      {Paragraph::Heading, "2. Cene"},
      {Paragraph::Item, "Cene se navedejo v evrih brez DDV na pakiranje, s popustom in stopnjo DDV (0, 9,5 ali 22 %)."},
      {Paragraph::Item, "Neto cena zdravila z dovoljenjem za promet ne sme presegati najvišje dovoljene cene iz registra "
                        "zdravil; višja cena se pri uvozu in vnosu zniža na to ceno."},
      {Paragraph::Item, "Ponudbena vrednost postavke se izračuna iz najugodnejše veljavne ponudbe in letne količine."},
      {Paragraph::Heading, "3. Oddaja ponudbe"},
      {Paragraph::Text, "Ponudnik vpiše svoje podatke in ponudbe s programom, ki ga je prejel s tem naročilom, natisne "
                        "specifikacijo ponudbe s cenami (OBR-8) za vsak sklop, na katerega se prijavlja, in z ukazom "
                        "\"Priprava podatkov za eJN\" pripravi datoteke podatki.dat, ponudnik.dat in paralela.dat za "
                        "oddajo v informacijski sistem eJN."},
      {Paragraph::Heading, "4. Merilo za izbiro"},
      {Paragraph::Text, "Merilo je najnižja ponudbena vrednost sklopa brez DDV. Ponudba, ki ne zajema vseh postavk "
                        "sklopa, za ta sklop ni popolna."},
  };
  return p;
}

}  // namespace

std::vector<GuideParagraph> userGuide() {
  static const std::map<std::string, std::string> what = {
      {"?PRINTSETUP", "izbira tiskalnika in njegovih nastavitev za vse izpise."},
      {"?IZVOZPODATKIDBF", "izvoz postavk razpisa v tabelo PODATDBF.DBF in njeno kopijo PODATDBF.XLS za pregled v "
                           "preglednici."},
      {"?UVOZCENIKDBF", "uvoz cenika iz tabele CenikDBF.dbf v postavke razpisa."},
      {"?EXPARAL", "izvoz vseh ponudb v tabelo Paraldbf.dbf in kopijo XLS, brez cen."},
      {"?EXPARAL1", "izvoz vseh ponudb v tabelo Paraldbf.dbf in kopijo XLS, s cenami."},
      {"?EXZDRAVNET", "izvoz registra zdravil v tabelo zdrndbf.dbf."},
      {"?UVOZPARAL", "uvoz ponudb iz tabele paraldbf.dbf; obstoječe ponudbe se prej izbrišejo (ostanejo v varnostni "
                     "kopiji paralela.bak)."},
      {"?UVOZPARALU", "uvoz ponudb iz tabele paraldbf.dbf brez brisanja: obstoječe ponudbe se posodobijo, nove dodajo."},
      {"?PREGLEDCSVPARALELA", "pregled datoteke paralela.csv (ponudbe, ločene s podpičji) pred uvozom."},
      {"?UVOZPARALELACSVZBRISANJEM", "uvoz cen iz datoteke paralela.csv; obstoječe ponudbe se prej izbrišejo."},
      {"?PONUDNIK", "vnos naziva, naslova, pošte in davčne številke ponudnika. Ctrl+' v polju vrne vrednost, ki je bila "
                    "nazadnje potrjena z gumbom Potrdi."},
      {"?PREVERIPAKIRANJE", "preverjanje, ali se pakiranja ponudb ujemajo z registrom zdravil; neujemanja se zapišejo v "
                            "tabelo zdrndbf.dbf."},
      {"?EXIT", "zapre program (tudi Alt-F4)."},
      {"?PREGLEDINVNOS", "osrednje okno programa: postavke razpisa po sklopih in ponudbe izbrane postavke. Tu ponudbe "
                         "dodajate, spreminjate in brišete, izberete zdravilo iz registra in natisnete specifikacijo "
                         "ponudbe s cenami (OBR-8). Okno se odpre že ob zagonu in se zapre ob prvem ukazu iz menija."},
      {"?PREPISCENIKANAUSB", "kopiranje datotek podatki.dat, ponudnik.dat in paralela.dat v mapo, ki jo izberete z "
                             "gumbom Išči, za oddajo v sistem eJN. Pred tem zaprite okno s postavkami razpisa."},
      {"?SPECZAHTEV", "odpre specifikacijo zahtev naročnika (Specifikacija.pdf)."},
      {"?NAVODILA", "odpre ta navodila (navodila.pdf)."},
      {"?CASCADEWINDOW", "razporedi odprta okna v kaskado; meni Izbor okna našteje tudi vsa odprta okna."},
      {"?POSODOBIZDRAVNET", "zažene datoteko copyzdr.bat, ki osveži register zdravil, in počaka, da konča."},
      {"?VIZITKA", "podatki o izdelovalcu programa in o naročniku."},
      {"?IZHOD", "zapre program."},
  };
  rt::HeadlessUi ui;
  rt::Session session(ui, fs::temp_directory_path());
  rt::Program program(session);
  registerAllProcedures(program);
  rt::FrameSpec frame = shell::mainFrameSpec(program);
  auto plain = [](const std::string& s) {
    std::string out;
    for (char c : s)
      if (c != '&') out += c;
    return out;
  };
  std::vector<GuideParagraph> out{
      {true, "Zagon programa"},
      {false, "Program se odpre v mapi z datotekami razpisa. Če datoteke podatki.dat ni ali je prazna, program to "
              "sporoči in se zapre. V naslovu okna je prijavitelj, ki ga določa davčna številka iz podatkov "
              "razpisa; v vrstici stanja sta dan v tednu z datumom in ura."},
      {true, "Meni"},
      {false, "Ukazi so opisani v vrstnem redu menijske vrstice, od leve proti desni."},
  };
  for (const auto& m : frame.menu) {
    if (m.menu && m.items.empty()) continue;
    if (m.menu) {
      out.push_back({true, "Meni " + plain(m.text)});
      for (const auto& i : m.items) {
        auto w = what.find(i.label);
        out.push_back({false, plain(i.text) + ": " + (w == what.end() ? std::string() : w->second)});
      }
      continue;
    }
    auto w = what.find(m.label);
    out.push_back({false, plain(m.text) + ": " + (w == what.end() ? std::string() : w->second)});
  }
  out.push_back({true, "Orodna vrstica"});
  out.push_back({false, "Trije gumbi pod menijem: izhod iz programa, pregled in vnos podatkov ter prepis podatkov za "
                        "eJN."});
  out.push_back({true, "Delo s tipkovnico"});
  out.push_back({false, "Polje, v katerem je kazalec, je obarvano rumeno, besedilo v njem pa je krepko. Enter in "
                        "puščici navzgor in navzdol premikajo kazalec od polja do polja kot tipka Tab; puščici levo "
                        "in desno v polju premikata kazalec po besedilu. Enter na gumbu gumb pritisne, v večvrstičnem "
                        "besedilu pa začne novo vrstico. Ukazi, ki v tej namestitvi niso na voljo, so v meniju sivi."});
  return out;
}

std::vector<Written> writeDocuments(const DemoTender& t, const fs::path& folder) {
  FontsAvailable fonts;
  std::vector<Written> out;
  std::string buyer = buyerName();
  int pages = writeDocument(folder / "Specifikacija.pdf", "Specifikacija", buyer + " - specifikacija zahtev", specification(t));
  out.push_back({"Specifikacija.pdf", pages, "pages (the buyer's requirements)"});

  std::vector<Paragraph> guide{{Paragraph::Title, "Navodila za uporabo programa"},
                               {Paragraph::Text, "Javna naročila (Zdravila): priprava ponudbe za " + buyer + "."}};
  for (const auto& g : userGuide()) guide.push_back({g.heading ? Paragraph::Heading : Paragraph::Text, g.text});
  pages = writeDocument(folder / "navodila.pdf", "navodila", "Navodila za uporabo programa", guide);
  out.push_back({"navodila.pdf", pages, "pages (user guide)"});

  // Runs under cmd and under sh alike: one line, nothing else.
  std::ofstream bat(folder / "copyzdr.bat", std::ios::binary | std::ios::trunc);
  bat << "echo Posodobitev registra zdravil - demo: datoteka zdravnet.tps ostane nespremenjena.\n";
  if (!bat.flush()) throw std::runtime_error("cannot write " + (folder / "copyzdr.bat").string());
  out.push_back({"copyzdr.bat", 1, "line (registry update, prints only)"});
  return out;
}

}  // namespace tdx::app::demo
