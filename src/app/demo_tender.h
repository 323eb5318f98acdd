#pragma once
// The demo tender: a plan drawn from a seed, then one writer per record file.
//
// The plan holds only what several files must agree on (the items with
// their groups, lots and codes; the applicant); everything else is drawn
// where it is written, from generators keyed by the seed and the record's
// index. The same seed therefore gives byte-identical files, and a new file
// of the demo is one more writer that changes none of the others.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tdx::app::demo {

struct DemoOptions {
  std::int64_t items = 420;
  std::int64_t registry = 3000;
  std::optional<std::int64_t> offers;  // default: about 1.25 for each offered item
  std::uint64_t seed = 1;
};

// Sizes the options accept (codes must keep their widths).
inline constexpr std::int64_t kMaxItems = 2000000;
inline constexpr std::int64_t kMaxRegistry = 800000;
inline constexpr std::int64_t kMaxOffers = 20000000;

enum class ItemKind { Medicine, Magistral, Unlicensed, Nutrition };

struct DemoItem {
  std::int16_t group = 0;
  std::int16_t subgroup = 0;
  std::int16_t lot = 0;
  std::int32_t code = 0;
  ItemKind kind = ItemKind::Medicine;
  int product = 0;             // index into medicineForms() or the special table of its kind
  std::int64_t quantity = 0;   // annual, in hundredths
  std::int64_t framework = 0;  // for the contract period, in hundredths
  bool firstOfCode = true;     // the first item with this code (descriptions are per code)
};

struct DemoTender {
  DemoOptions options;
  std::vector<DemoItem> items;  // in file order
  std::int64_t offers = 0;
  std::string applicantTax;     // POD:DOBA of the items, a VERANT record, the bidder
};

DemoTender planDemoTender(const DemoOptions& options);

// A registry medicine, a pure function of the seed and its index, so that
// the offers can name medicines without the registry kept in memory.
struct DemoMedicine {
  std::string code;      // 6 characters
  int form = 0;          // index into medicineForms()
  int holder = 0;        // index into holders()
  std::int16_t pack = 1;
  std::int64_t netPrice = 0;  // per pack, in 1/10000 euro; 0 for some
  std::string ean;            // blank for some
};
DemoMedicine registryMedicine(const DemoTender& t, std::int64_t index);
// The registry indexes of a form's medicines are form, form + n, form + 2n...
// (n the number of forms); nullopt when the registry holds none of it.
std::optional<std::int64_t> registryMedicineOf(const DemoTender& t, int form, std::uint64_t draw);

// Its registered name and pack description (UTF-8), as the registry lists
// them and the offer form copies them into an offer.
std::string registeredName(const DemoMedicine& m);
std::string registeredPack(const DemoMedicine& m);

// What one writer wrote.
struct Written {
  std::string diskName;
  std::int64_t records = 0;
  std::string what;  // "tender items"
};

// One writer per record file; each creates its file in `folder` and throws
// std::runtime_error with a message naming the file when the store fails.
Written writeSkupine(const DemoTender& t, const std::filesystem::path& folder);
Written writePskupine(const DemoTender& t, const std::filesystem::path& folder);
Written writePodatki(const DemoTender& t, const std::filesystem::path& folder);
Written writeOpism(const DemoTender& t, const std::filesystem::path& folder);
Written writeZdravnet(const DemoTender& t, const std::filesystem::path& folder);
Written writeParalela(const DemoTender& t, const std::filesystem::path& folder);
Written writePonudnik(const DemoTender& t, const std::filesystem::path& folder);
Written writeKupec(const DemoTender& t, const std::filesystem::path& folder);
Written writeVerant(const DemoTender& t, const std::filesystem::path& folder);
Written writeZdrapcen(const DemoTender& t, const std::filesystem::path& folder);

// The exchange files: the price list with its index, the semicolon offers.
std::vector<Written> writeExchangeFiles(const DemoTender& t, const std::filesystem::path& folder);

// Every writer in turn, in a fixed order.
std::vector<Written> writeDemoTender(const DemoTender& t, const std::filesystem::path& folder);

}  // namespace tdx::app::demo
