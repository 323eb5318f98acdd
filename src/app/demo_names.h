#pragma once
// What the demo tender is made of: medicines by their generic names with
// real ATC codes, and invented names for everyone else (hospital, bidder,
// applicants, authorisation holders). Texts here are UTF-8; the writers
// convert them to Windows-1250.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tdx::app::demo {

// One medicine as a tender asks for it and as the registry lists it: a
// generic substance in one strength and form.
struct MedicineForm {
  std::string_view generic;     // "paracetamol"
  std::string_view atc;         // "N02BE01"
  std::string_view strength;    // "500 mg"
  std::string_view form;        // "tableta" (pharmaceutical form)
  std::string_view formPlural;  // "tablete" (in registered names)
  std::string_view unit;        // "tableta": the registry unit and an offer's smallest unit
  std::string_view tenderUnit;  // the tender's unit of measure ("l" where it counts litres)
  std::string_view container;   // "pretisni omot"
  std::int16_t packs[3];        // units per pack, choices
  std::int64_t unitPrice;       // reference net price per unit, in 1/10000 euro
  int tenderScale;              // units of the registry per tender unit (1000 ml per l)
};
std::span<const MedicineForm> medicineForms();

// Items of the special subgroups (magistral preparations and medicines
// without a marketing authorisation) and of the nutrition group: offered by
// typed name, never from the registry.
struct SpecialProduct {
  std::string_view name;       // item name
  std::string_view form;
  std::string_view unit;
  std::string_view offerName;  // what a bidder offers for it
  std::string_view maker;
  std::int16_t pack;
  std::int64_t unitPrice;      // 1/10000 euro
};
std::span<const SpecialProduct> magistralProducts();   // subgroup 28
std::span<const SpecialProduct> unlicensedProducts();  // subgroup 29
std::span<const SpecialProduct> nutritionProducts();   // the other group

struct Holder {
  std::string_view name;   // up to 50 characters
  std::string_view shortName;  // in registered names
  std::string_view code;   // manufacturer code
};
std::span<const Holder> holders();

struct Subgroup {
  std::int16_t group;
  std::int16_t subgroup;
  std::string_view name;
  int itemShare;  // per mille of the items
};
struct Group {
  std::int16_t group;
  std::string_view name;
};
std::span<const Group> groups();
std::span<const Subgroup> subgroups();

// The parties. Tax numbers fail the national check digit, so none of them
// can belong to a real taxpayer.
struct Party {
  std::string_view name;
  std::string_view address;
  std::string_view post;
  std::uint32_t taxStem;  // see taxNumber()
};
std::string taxNumber(const Party& p);
const Party& bidder();          // also the applicant named by the items
std::span<const Party> otherApplicants();
std::span<const std::string_view> buyerLines();  // KUP:NAZ01..: hospital, subject, address...

// Sentences of the item descriptions, joined by the description writer.
std::span<const std::string_view> descriptionSentences();

// An 8-digit tax number from a 7-digit stem whose check digit is wrong on
// purpose (see Party).
std::string invalidTaxNumber(std::uint32_t stem);
// A 13-digit bar code in the range for restricted circulation (prefix 2),
// with a correct check digit: it looks real to a scanner, yet names no
// trade item.
std::string restrictedEan(std::uint64_t body);

}  // namespace tdx::app::demo
