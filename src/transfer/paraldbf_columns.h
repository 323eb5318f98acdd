#pragma once
// The columns of "PARALDBF.DBF" and "LOG.DBF" the offer imports read and
// write, by index: found by name once, not by a name search per row (the
// search compares names without case, column by column, and a row asks for
// some twenty columns).

#include "exchange/dbf_layout.h"

namespace tdx::transfer {

struct ParaldbfColumns {
  int skup, posk, sklop, sifr, imezd, proiz, prpak, ean, idzdr, em, ncena, popust, pddv, kfaktor, sort, pakir;
};
const ParaldbfColumns& paraldbfColumns();

struct LogColumns {
  int imezd, idzdr, cenajazmp, ncena, popust, pddv, sifr, skup, posk, sklop;
};
const LogColumns& logColumns();

}  // namespace tdx::transfer
