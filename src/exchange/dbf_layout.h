#pragma once
// Column layouts of the dBase tables we exchange with spreadsheets and other
// installations, and the index files kept beside them.
//
// A layout is what the procedures expect; a file opened against it must have
// the same column names (without regard to case) and types in the same order.
// Widths and decimals are taken from the file itself when it is opened, so a
// table saved by a spreadsheet with a wider column still reads.

#include <optional>
#include <span>
#include <string_view>

namespace tdx::dbf {

enum class ColumnType : char { Character = 'C', Numeric = 'N' };

struct Column {
  std::string_view name;  // upper case, at most 10 characters
  ColumnType type;
  int width;
  int decimals;  // 0 for character columns
};

// An index file built from one column of the table: "KCRTNA.NTX" on EAN.
struct IndexDef {
  std::string_view fileName;  // in the table's folder
  std::string_view column;    // the key expression is the bare column name
  bool unique;                // only the first record of each key
};

struct Layout {
  std::string_view label;     // "PARALDBF", for messages
  std::string_view fileName;  // "PARALDBF.DBF", in the working folder
  std::span<const Column> columns;
  std::span<const IndexDef> indexes;

  // The deletion flag and every column.
  constexpr int recordLength() const {
    int n = 1;
    for (const auto& c : columns) n += c.width;
    return n;
  }
  // Column index by name, without regard to case.
  std::optional<int> find(std::string_view name) const;
};

// Column names compare without regard to case, as the drivers did.
bool sameColumnName(std::string_view a, std::string_view b);

namespace detail {
constexpr Column C(std::string_view name, int width) { return {name, ColumnType::Character, width, 0}; }
constexpr Column N(std::string_view name, int width, int decimals) {
  return {name, ColumnType::Numeric, width, decimals};
}

inline constexpr Column kParaldbfColumns[] = {
    N("SKUP", 2, 0),    N("POSK", 2, 0),    N("SKLOP", 3, 0),   C("SIFR", 8),      C("NAZI", 200),
    C("FAOB", 250),     C("DOBA", 8),       C("IMEZD", 100),    C("PROIZ", 30),    C("PRPAK", 150),
    C("EAN", 13),       C("IDZDR", 6),      N("NCENA", 15, 4),  N("POPUST", 5, 2), N("PDDV", 5, 2),
    N("BCENA", 15, 4),  N("LKOLI", 10, 0),  N("OKOLI", 10, 0),  N("SORT", 2, 0),   N("PAKIR", 10, 0),
    N("KFAKTOR", 8, 6), N("NCENA_KF", 15, 4), C("EM", 30),
};
inline constexpr IndexDef kParaldbfIndexes[] = {
    {"KCRTNA.NTX", "EAN", false},
    {"KIDZDR.NTX", "IDZDR", false},
};

inline constexpr Column kCenikdbfColumns[] = {
    N("SKUP", 2, 0),   N("POSK", 2, 0),    N("SIFR", 8, 0),   C("NAZI", 200),   C("FAOB", 250),
    C("ENME", 3),      N("KOLI", 15, 0),   N("NCENA", 15, 4), N("DAVEK", 5, 2), N("CENA", 15, 4),
    C("DOBA", 8),      C("PROIZ", 30),     C("PARAL", 40),    C("KATAL", 12),   N("SKLOP", 3, 0),
};
inline constexpr IndexDef kCenikdbfIndexes[] = {{"KIDENT.NTX", "SIFR", true}};

inline constexpr Column kPodatdbfColumns[] = {
    N("SKUP", 2, 0),   N("POSK", 2, 0),    N("SKLOP", 3, 0),  N("SIFR", 8, 0),  C("NAZI", 200),
    C("FAOB", 250),    C("ENME", 30),      N("KOLI", 15, 0),  N("NCENA", 15, 4), N("DAVEK", 5, 2),
    N("CENA", 15, 4),  C("DOBA", 8),       C("PROIZ", 30),    C("PARAL", 40),   C("KATAL", 12),
};
inline constexpr IndexDef kPodatdbfIndexes[] = {{"KSIFRA.NTX", "SIFR", true}};

inline constexpr Column kLogColumns[] = {
    C("IMEZD", 100),     C("IDZDR", 6),    N("CENAJAZMP", 15, 4), N("NCENA", 15, 4), N("POPUST", 5, 2),
    N("PDDV", 5, 2),     C("SIFR", 8),     N("SKUP", 2, 0),       N("POSK", 2, 0),   N("SKLOP", 3, 0),
};

// KOLENOTE and KOLENPAK are floating-point fields in the declaration with no
// column format, so they take the driver's default numeric column: N(9,2).
inline constexpr Column kZdrndbfColumns[] = {
    C("STATUS", 1),      C("SIFRA", 8),       C("IDZDR", 6),        C("IMEREGISTR", 200),
    C("CRTNAKODA", 13),  C("FAOB", 80),       N("KOLENOTE", 9, 2),  N("KOLENPAK", 9, 2),
    C("PAKIRANJE", 200), C("ENOTA", 20),      C("ATC", 10),         C("ATCOPIS", 50),
    N("NCENA", 15, 4),   C("PROIZS", 10),     C("PROIZN", 50),      C("UCINKOVINA", 100),
};
}  // namespace detail

// Parallel offers: written by the offers export, read by the offer imports.
inline constexpr Layout kParaldbf{"PARALDBF", "PARALDBF.DBF", detail::kParaldbfColumns,
                                  detail::kParaldbfIndexes};
// Price list prepared outside the program; read through its unique index.
inline constexpr Layout kCenikdbf{"CENIKDBF", "CENIKDBF.DBF", detail::kCenikdbfColumns,
                                  detail::kCenikdbfIndexes};
// Tender items for the spreadsheet (copied to PODATDBF.XLS).
inline constexpr Layout kPodatdbf{"PODATDBF", "PODATDBF.DBF", detail::kPodatdbfColumns,
                                  detail::kPodatdbfIndexes};
// Change log of an offer import (copied to LOG.XLS).
inline constexpr Layout kLog{"LOG", "LOG.DBF", detail::kLogColumns, {}};
// Registry list, or the packaging mismatches of the packaging check.
inline constexpr Layout kZdrndbf{"ZDRNDBF", "zdrndbf.dbf", detail::kZdrndbfColumns, {}};

static_assert(kParaldbf.columns.size() == 23 && kParaldbf.recordLength() == 898);
static_assert(kCenikdbf.columns.size() == 15 && kCenikdbf.recordLength() == 609);
static_assert(kPodatdbf.columns.size() == 15 && kPodatdbf.recordLength() == 636);
static_assert(kLog.columns.size() == 10 && kLog.recordLength() == 162);
static_assert(kZdrndbf.columns.size() == 16 && kZdrndbf.recordLength() == 782);

}  // namespace tdx::dbf
