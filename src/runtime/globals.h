#pragma once
// Process-wide variables: one object that every context can reach. Written
// without locking, as the windows share them: the last window that moves its
// cursor wins. Texts are Windows-1250 bytes like the record fields they come
// from.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "records/catalogue.h"
#include "records/errors.h"
#include "records/layouts.h"

namespace tdx::rt {

struct Globals {
  // Shared selection variables (the items browser is their main writer).
  std::int16_t psk = 0;        // group of the current item
  std::int16_t pps = 0;        // its subgroup
  std::int16_t pskup = 0;      // glo:pskup, subgroup shown in the items browser
  std::string nazmat;          // glo:nazmat (200): name of the current item
  std::string oblmat;          // glo:oblmat (250): its pharmaceutical form
  std::string sifpod;          // glo:sifpod (8): its code as digits
  std::int16_t sklop = 0;      // glo:sklop: lot slot, carried through
  std::int16_t itemLot = 0;    // lot of the current item, for the offers browser

  // Set by the main frame.
  std::string applicantTaxNumber;  // 8
  std::string applicantName;       // 30
  std::string csvFileName = "paralela.csv";
  std::string documentToOpen;

  // glo:path, the eJN destination folder; empty until chosen.
  std::string ejnPath;

  // The bidder as last confirmed with "&Potrdi" in this run (blank until then).
  Ponudnik bidderHistory{};
  bool bidderHistorySet = false;

  // The saved error of the standard file handling.
  err::Error savedError;

  // Settings: the two web addresses named in the registry browser's title.
  std::string medicinesDatabaseUrl = "https://www.cbz.si";
  std::string ivdRegisterUrl = "https://www.jazmp.si";

  Globals() { bidderHistory = blankBidder(); }
  static Ponudnik blankBidder() {
    Ponudnik p{};
    p.naziv.clear(); p.naslov.clear(); p.posta.clear(); p.davcna.clear();
    return p;
  }
};

}  // namespace tdx::rt
