#include "shell/main_frame_menu.h"

#include "runtime/procedure.h"

namespace tdx::shell {

using rt::ControlKind;
using rt::ControlSpec;
using rt::MenuSpec;

const std::vector<Command>& frameCommands() {
  static const std::vector<Command> commands = {
      {"?PRINTSETUP", Action::PrinterSetup},
      {"?IZVOZPODATKIDBF", Action::Start, "izdatvdbf"},
      {"?UVOZCENIKDBF", Action::Call, "uvdbfvdat"},
      {"?EXPARAL", Action::Start, "izparvdbf"},
      {"?EXPARAL1", Action::Start, "izparvdbf1"},
      {"?EXZDRAVNET", Action::Start, "izzdrnetvdbf"},
      {"?UVOZPARAL", Action::Start, "uvparaladd"},
      {"?UVOZPARALU", Action::Start, "uvparvdat"},
      {"?PREGLEDCSVPARALELA", Action::Start, "brparalelacsv"},
      {"?UVOZPARALELACSVZBRISANJEM", Action::Start, "uvcsvparaladd"},
      {"?PONUDNIK", Action::Bidder, "upponud"},
      {"?PREVERIPAKIRANJE", Action::Start, "preveripakiranje"},
      {"?EXIT", Action::Exit},
      {"?PREGLEDINVNOS", Action::Start, "brpodatki"},
      {"?PREPISCENIKANAUSB", Action::Start, "pcenik"},
      {"?SPECZAHTEV", Action::Document, {}, "Specifikacija.pdf"},
      {"?NAVODILA", Action::Document, {}, "navodila.pdf"},
      {"?CASCADEWINDOW", Action::Cascade},
      {"?POSODOBIZDRAVNET", Action::Start, kRegistryUpdate},
      {"?VIZITKA", Action::Start, "vizitka"},
      {"?IZHOD", Action::Exit},
      {"?OUT", Action::Exit},
      {"?CENIK", Action::Start, "brpodatki"},
      {"?TDISK", Action::Start, "pcenik"},
  };
  return commands;
}

const Command* findCommand(std::string_view label) {
  for (const auto& c : frameCommands())
    if (c.label == label) return &c;
  return nullptr;
}

namespace {

MenuSpec item(const rt::Program& program, const char* label, const char* text, const char* message = "",
              const char* icon = "", const char* shortcut = "") {
  MenuSpec m;
  m.label = label;
  m.text = text;
  m.message = message;
  m.icon = icon;
  m.shortcut = shortcut;
  const Command* c = findCommand(label);
  bool needsProcedure = c && (c->action == Action::Start || c->action == Action::Call || c->action == Action::Bidder);
  m.disabled = needsProcedure && !program.has(c->procedure);
  return m;
}

MenuSpec menu(const char* text, std::vector<MenuSpec> items = {}) {
  MenuSpec m;
  m.text = text;
  m.menu = true;
  m.items = std::move(items);
  return m;
}

ControlSpec toolButton(const rt::Program& program, const char* label, const char* icon, const char* tip, int x) {
  ControlSpec c{label, ControlKind::Button};
  c.icon = icon;
  c.tip = tip;
  c.at = {x, 0, 18, 16};
  c.inToolbar = true;
  c.flat = true;
  const Command* cmd = findCommand(label);
  if (cmd && cmd->action == Action::Start) c.disabled = !program.has(cmd->procedure);
  return c;
}

}  // namespace

rt::FrameSpec mainFrameSpec(const rt::Program& p) {
  rt::FrameSpec s;
  s.title = kFrameTitle;
  s.positionName = "Main";
  s.icon = "Script.ico";
  s.font = "Times New Roman CE";
  s.fontSize = 8;
  // Wide enough for the whole menu bar in one line.
  s.width = 660;
  s.height = 380;
  s.statusZones = {-1, 60, 100, 45};
  s.menu = {
      menu("&1) Datoteka",
           {
               item(p, "?PRINTSETUP", "&1) Nastavitev tiskalnika", "Nastavitev tiskalnika"),
               item(p, "?IZVOZPODATKIDBF", "&2) Izvoz datoteke Podatki.dat v Excel"),
               item(p, "?UVOZCENIKDBF", "&3) Uvoz datoteke CenikDBF.dbf v Podatki.dat"),
               item(p, "?EXPARAL", "&4) Izvoz datoteke Paralela.dat v Paraldbf.dbf in XLS (brez cen)"),
               item(p, "?EXPARAL1", "&5) Izvoz datoteke Paralela.dat v Paraldbf.dbf in XLS (s cenami)"),
               item(p, "?EXZDRAVNET", "&6) Izvoz zdravilanet.tps v zdrndbf.dbf"),
               item(p, "?UVOZPARAL", "&7) Uvoz datoteke paraldbf.dbf v paralela.dat-Z BRISANJEM"),
               item(p, "?UVOZPARALU", "&8) Uvoz datoteke paraldbf.dbf v paralela.dat-BREZ BRISANJA"),
               item(p, "?PREGLEDCSVPARALELA", "&A) Pregled CSV datoteke paralela.csv"),
               item(p, "?UVOZPARALELACSVZBRISANJEM", "&B) Uvoz cen iz paralela.csv-Z BRISANJEM"),
               item(p, "?PONUDNIK", "&9) Podatki o prijavitelju/ponudniku", "Vnos podatkov o prijavitelju/ponudniku",
                    "help.ico"),
               item(p, "?PREVERIPAKIRANJE", "&Z-Preveri pakiranje"),
               item(p, "?EXIT", "&X) Izhod", "Izhod iz aplikacije", "Preklicc.ico", "Alt-F4"),
           }),
      item(p, "?PREGLEDINVNOS", "&2) Pregled podatkov in vnos sprememb"),
      item(p, "?PREPISCENIKANAUSB", "&3) Priprava podatkov za eJN"),
      item(p, "?SPECZAHTEV", "&4) Specifikacija zahtev (PDF)", "Specifikacija zahtev naročnika"),
      item(p, "?NAVODILA", "&5) Navodila", "Navodila za uporabo programa"),
      menu("&6) Izbor okna", {item(p, "?CASCADEWINDOW", "V kaskado")}),
      item(p, "?POSODOBIZDRAVNET", "&7) Posodobitev podatkov o zdravilih",
           "Posodobitev podatkov o zdravilih iz interneta"),
      item(p, "?VIZITKA", "Vi&zitka", "Vizitka"),
      menu(" "),
      item(p, "?IZHOD", "&X-Izhod", "Izhod iz aplikacije"),
  };
  s.menu[5].windowList = true;
  s.controls = {
      toolButton(p, "?OUT", "izhod.ico", "Izhod iz aplikacije", 3),
      toolButton(p, "?CENIK", "Money bag.ico", "Pregled in vnos podatkov", 26),
      toolButton(p, "?TDISK", "DISKETE.ICO", "Prepis podatkov na disketo", 49),
  };
  return s;
}

}  // namespace tdx::shell
