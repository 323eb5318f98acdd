#pragma once
// The ten record layouts, byte for byte. Every procedure, export and report
// relies on these offsets; the static_asserts below keep them honest.

#include <cstddef>

#include "records/fields.h"

namespace tdx {

// PODATKI ("podatki.dat"): tender items.
struct Podatki {
  Short skup;          // group
  Short posk;          // subgroup within the group ("SK")
  Long sifr;           // item code ("Šifra")
  Str<200> nazi;       // item name
  Str<250> faob;       // pharmaceutical form
  Str<30> enme;        // unit of measure
  Dec<11, 2> koli;     // annual quantity: offer values are computed from it
  Dec<11, 2> koliane;  // framework quantity for the contract period
  Dec<13, 4> cena;     // price with VAT (set by the price-list import)
  Dec<13, 4> ncena;    // price without VAT from the buyer's price list
  Dec<5, 2> davek;     // VAT rate in per cent from the price list
  Dec<7, 2> rabat;     // discount in per cent (unused)
  Str<8> doba;         // applicant's tax number; the first item names the applicant
  Str<30> proiz;       // manufacturer from the price list
  Str<40> paral;       // parallel designation from the price list
  Str<25> katal;       // catalogue number from the price list
  Short leto;          // (unused)
  Short mese;          // (unused)
  Short sklop;         // lot within the subgroup
  Str<220> izdelek;    // (unused)
  Str<100> pakir;      // (unused)
  Str<230> opis;       // (unused)
};
static_assert(sizeof(Podatki) == 1180);
static_assert(offsetof(Podatki, skup) == 0 && offsetof(Podatki, posk) == 2 && offsetof(Podatki, sifr) == 4);
static_assert(offsetof(Podatki, nazi) == 8 && offsetof(Podatki, faob) == 208 && offsetof(Podatki, enme) == 458);
static_assert(offsetof(Podatki, koli) == 488 && offsetof(Podatki, koliane) == 494 && offsetof(Podatki, cena) == 500);
static_assert(offsetof(Podatki, ncena) == 507 && offsetof(Podatki, davek) == 514 && offsetof(Podatki, rabat) == 517);
static_assert(offsetof(Podatki, doba) == 521 && offsetof(Podatki, proiz) == 529 && offsetof(Podatki, paral) == 559);
static_assert(offsetof(Podatki, katal) == 599 && offsetof(Podatki, leto) == 624 && offsetof(Podatki, mese) == 626);
static_assert(offsetof(Podatki, sklop) == 628 && offsetof(Podatki, izdelek) == 630 && offsetof(Podatki, pakir) == 850);
static_assert(offsetof(Podatki, opis) == 950);

// SKUPINE ("skupine.dat"): groups of the tender.
struct Skupine {
  Short skup;
  Str<50> nazi;
};
static_assert(sizeof(Skupine) == 52);
static_assert(offsetof(Skupine, skup) == 0 && offsetof(Skupine, nazi) == 2);

// PSKUPINE ("pskupine.dat"): subgroups of a group (the windows call them lots).
struct Pskupine {
  Short skup;
  Short posk;
  Str<100> nazi;
  Dec<15, 2> vred;  // estimated value of the subgroup
  Short refer;      // (unused)
  Short zaklj;      // (unused)
  Short nizbo;      // (unused)
};
static_assert(sizeof(Pskupine) == 118);
static_assert(offsetof(Pskupine, skup) == 0 && offsetof(Pskupine, posk) == 2 && offsetof(Pskupine, nazi) == 4);
static_assert(offsetof(Pskupine, vred) == 104 && offsetof(Pskupine, refer) == 112);
static_assert(offsetof(Pskupine, zaklj) == 114 && offsetof(Pskupine, nizbo) == 116);

// OPISM ("opism.tps"): long description of an item; the memo OMAT:OPIS
// (up to 5000 characters) travels beside the record in its buffer.
struct Opism {
  Long sifr;
};
static_assert(sizeof(Opism) == 4);
static_assert(offsetof(Opism, sifr) == 0);
inline constexpr int kOpismMemoMax = 5000;

// ZDRAPCEN ("zdrapcen.tps"): work file of the offer report, kept empty.
struct Zdrapcen {
  Short skup;
  Short posk;
  Short sklop;
  Long sifr;
  Str<8> doba;
  Dec<11, 2> pbcena;
  Dec<11, 2> koli;
  Dec<11, 2> koliane;
};
static_assert(sizeof(Zdrapcen) == 36);
static_assert(offsetof(Zdrapcen, skup) == 0 && offsetof(Zdrapcen, posk) == 2 && offsetof(Zdrapcen, sklop) == 4);
static_assert(offsetof(Zdrapcen, sifr) == 6 && offsetof(Zdrapcen, doba) == 10 && offsetof(Zdrapcen, pbcena) == 18);
static_assert(offsetof(Zdrapcen, koli) == 24 && offsetof(Zdrapcen, koliane) == 30);

// PARALELA ("paralela.dat"): the bidder's offers ("paralele").
struct Paralela {
  Short skup;          // group of the item offered for
  Short posk;          // subgroup of the item
  Short sklop;         // lot of the item
  Long sifr;           // item code
  Str<8> doba;         // supplier tax number
  Str<100> imezd;      // protected name of the offered medicine
  Str<30> proiz;       // marketing authorisation holder
  Str<150> prpak;      // primary packaging description
  Str<30> em;          // smallest unit of measure
  Str<13> ean;         // bar code
  Str<6> idzdr;        // working code in the registry
  Dec<11, 4> ncena;    // net price (form: discounted net per unit)
  Dec<5, 2> popust;    // discount in per cent
  Dec<7, 2> pddv;      // VAT rate in per cent
  Dec<11, 4> bcena;    // gross per unit, discounted: the ranking price
  Short sort;          // order among equal prices; 99 = withdrawn
  Long pakiranje;      // units per pack
  Dec<11, 4> ncena_az; // pack price after the registry cap
  Dec<11, 4> bcena_az; // gross per pack, discounted
  Dec<9, 6> kfaktor;   // correction factor
  Dec<11, 4> ncena_kf; // corrected net pack price
};
static_assert(sizeof(Paralela) == 395);
static_assert(offsetof(Paralela, skup) == 0 && offsetof(Paralela, posk) == 2 && offsetof(Paralela, sklop) == 4);
static_assert(offsetof(Paralela, sifr) == 6 && offsetof(Paralela, doba) == 10 && offsetof(Paralela, imezd) == 18);
static_assert(offsetof(Paralela, proiz) == 118 && offsetof(Paralela, prpak) == 148 && offsetof(Paralela, em) == 298);
static_assert(offsetof(Paralela, ean) == 328 && offsetof(Paralela, idzdr) == 341 && offsetof(Paralela, ncena) == 347);
static_assert(offsetof(Paralela, popust) == 353 && offsetof(Paralela, pddv) == 356 && offsetof(Paralela, bcena) == 360);
static_assert(offsetof(Paralela, sort) == 366 && offsetof(Paralela, pakiranje) == 368);
static_assert(offsetof(Paralela, ncena_az) == 372 && offsetof(Paralela, bcena_az) == 378);
static_assert(offsetof(Paralela, kfaktor) == 384 && offsetof(Paralela, ncena_kf) == 389);
inline constexpr int kWithdrawnSort = 99;

// PONUDNIK ("ponudnik.dat"): the bidder; only the first record counts.
struct Ponudnik {
  Str<50> naziv;
  Str<50> naslov;
  Str<50> posta;
  Str<8> davcna;
};
static_assert(sizeof(Ponudnik) == 158);
static_assert(offsetof(Ponudnik, naziv) == 0 && offsetof(Ponudnik, naslov) == 50);
static_assert(offsetof(Ponudnik, posta) == 100 && offsetof(Ponudnik, davcna) == 150);

// KUPEC ("kupec.dat", encrypted): the buyer's identity block, ten lines.
struct Kupec {
  Str<35> naz01, naz02, naz03, naz04, naz05, naz06, naz07, naz08, naz09, naz10;
};
static_assert(sizeof(Kupec) == 350);
static_assert(offsetof(Kupec, naz01) == 0 && offsetof(Kupec, naz02) == 35 && offsetof(Kupec, naz03) == 70);
static_assert(offsetof(Kupec, naz04) == 105 && offsetof(Kupec, naz05) == 140 && offsetof(Kupec, naz06) == 175);
static_assert(offsetof(Kupec, naz07) == 210 && offsetof(Kupec, naz08) == 245 && offsetof(Kupec, naz09) == 280);
static_assert(offsetof(Kupec, naz10) == 315);
// The owner password of the buyer file, built into the program.
inline constexpr const char* kKupecPassword = "ktr596";

// ZDRAVNET ("zdravnet.tps"): the registry of medicines.
struct Zdravnet {
  Str<6> idzdr;          // working code
  Str<200> imeregistr;   // registered name
  Str<13> crtnakoda;     // bar code
  CStr<81> faob;         // pharmaceutical form
  Short kolenote;        // units per pack
  Str<20> enota;         // unit
  CStr<201> pakiranje;   // packaging description
  Str<10> atc;           // ATC code
  CStr<51> atcopis;      // ATC description
  Dec<11, 4> ncena;      // the agency's net price: the cap for offers
  Str<10> proizs;        // manufacturer code
  CStr<51> proizn;       // manufacturer (authorisation holder) name
};
static_assert(sizeof(Zdravnet) == 651);
static_assert(offsetof(Zdravnet, idzdr) == 0 && offsetof(Zdravnet, imeregistr) == 6);
static_assert(offsetof(Zdravnet, crtnakoda) == 206 && offsetof(Zdravnet, faob) == 219);
static_assert(offsetof(Zdravnet, kolenote) == 300 && offsetof(Zdravnet, enota) == 302);
static_assert(offsetof(Zdravnet, pakiranje) == 322 && offsetof(Zdravnet, atc) == 523);
static_assert(offsetof(Zdravnet, atcopis) == 533 && offsetof(Zdravnet, ncena) == 584);
static_assert(offsetof(Zdravnet, proizs) == 590 && offsetof(Zdravnet, proizn) == 600);

// VERANT ("verant.tps"): registered applicants.
struct Verant {
  Str<8> davcna;
  Str<30> naziv;
};
static_assert(sizeof(Verant) == 38);
static_assert(offsetof(Verant, davcna) == 0 && offsetof(Verant, naziv) == 8);

}  // namespace tdx
