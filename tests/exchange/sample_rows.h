#pragma once
// Rows for any layout, every column filled so that a lost, shifted or
// misread column shows: texts carry Windows-1250 letters and the column's
// name, numbers use every decimal the column has.

#include <string>

#include "exchange/dbf_record.h"

namespace tdx::dbf::test {

inline std::string sampleText(const Column& c, int row) {
  // "Čaj" with č, š, ž in Windows-1250, then the column and the row.
  std::string t = "\xC8" "aj \xE8\x9A\x9E " + std::string(c.name) + " " + std::to_string(row);
  return t.substr(0, std::size_t(c.width));
}

inline Decimal sampleNumber(const Column& c, int row) {
  int intDigits = c.width - (c.decimals > 0 ? c.decimals + 1 : 0);
  if (intDigits > 6) intDigits = 6;
  Decimal whole = Decimal(1);
  for (int i = 0; i < intDigits; ++i) whole *= 10;
  whole -= 1 + row % 5;
  std::string fraction = std::string("987654321098765").substr(0, std::size_t(c.decimals));
  return c.decimals == 0 ? whole : whole + *Decimal::parse("0." + fraction);
}

inline void fillSample(Record& r, int row) {
  const auto& cols = r.layout().columns;
  for (std::size_t k = 0; k < cols.size(); ++k) {
    if (cols[k].type == ColumnType::Character)
      r.setText(int(k), sampleText(cols[k], row));
    else
      r.setNumber(int(k), sampleNumber(cols[k], row));
  }
}

}  // namespace tdx::dbf::test
