#pragma once
// upparalela: the form in which one offer (a PARALELA record) is added,
// changed or deleted. It runs on its caller's context, edits that
// context's PARALELA buffer in place, keeps the offer's prices by the price
// rules after every price input, checks the VAT rate and the working code,
// and writes the record with change detection when the bidder confirms.

#include <memory>
#include <optional>
#include <string>

#include "records/catalogue.h"
#include "records/layouts.h"
#include "records/price_rules.h"
#include "runtime/procedure.h"
#include "runtime/window.h"

namespace tdx::tender {

// Labels of the form's controls that its handling names.
namespace form {
inline constexpr const char* kAction = "?ACTIONMESSAGE";
inline constexpr const char* kCode = "?PAR:IDZDR";
inline constexpr const char* kLookup = "?CALLLOOKUP:2";     // "Išči" beside the working code
inline constexpr const char* kEanLookup = "?CALLLOOKUP";    // beside the bar code (hidden)
inline constexpr const char* kEan = "?PAR:EAN";
inline constexpr const char* kName = "?PAR:IMEZD";
inline constexpr const char* kHolder = "?PAR:PROIZ";
inline constexpr const char* kPack = "?PAR:PRPAK";
inline constexpr const char* kUnits = "?PAR:PAKIRANJE";
inline constexpr const char* kUnit = "?PAR:EM";
inline constexpr const char* kNet = "?PAR:NCENA";
inline constexpr const char* kPackPrice = "?PAR:NCENA_AZ";
inline constexpr const char* kDiscount = "?PAR:POPUST";
inline constexpr const char* kVat = "?PAR:PDDV";
inline constexpr const char* kSort = "?PAR:SORT";
inline constexpr const char* kFactor = "?PAR:KFAKTOR";
inline constexpr const char* kCorrected = "?PAR:NCENA_KF";
inline constexpr const char* kGross = "?PAR:BCENA";
inline constexpr const char* kGrossPack = "?PAR:BCENA_AZ";
inline constexpr const char* kOk = "?OK";
inline constexpr const char* kCancel = "?CANCEL";
}  // namespace form

std::unique_ptr<rt::Procedure> makeUpparalela(rt::Context& ctx, const rt::Options& options);

// The offer as the form last tried to save it on a context (the history
// key recalls its fields); blank until the context first saves.
struct OfferHistory {
  Paralela offer{};
  bool ready = false;
};

class OfferForm : public rt::Procedure, public rt::WindowEvents {
 public:
  OfferForm(rt::Context& ctx, const rt::Options& options);
  ~OfferForm() override;

  void begin() override;
  void onEvent(rt::Window& w, const rt::Event& e) override;
  void requestClose() override { leave(window_.get()); }

 private:
  Paralela& offer();
  rt::WindowSpec windowSpec();
  void prime();
  void showItem(rt::Window& w);
  // The registry record of the offer's working code (nullopt when there is
  // none); the buffer of ZDRAVNET holds it afterwards, as the ATC shows.
  std::optional<Zdravnet> registryRecord();
  // The form's recalculation. False when it stopped the bidder (a message
  // that moved the focus).
  bool recalculate(rt::Window& w, bool vatCheck);
  bool vatValid();
  void accepted(rt::Window& w, const rt::Event& e);
  void pick(rt::Window& w);
  void recall(rt::Window& w, const std::string& label);
  void confirm(rt::Window& w);
  void save(rt::Window& w);
  void leave(rt::Window* w);
  void stop(const std::string& text);

  int request_ = 0;
  int response_ = rt::resp::None;
  bool special_ = false;  // group 28, subgroup 28 or 29: no registry medicines
  bool used_ = false;
  // Within one confirmation the registry message is shown once, however
  // many controls the accept-all pass recalculates for.
  bool confirming_ = false;
  bool registryWarned_ = false;
  std::optional<RecordBuffer> compare_;
  std::string action_;  // UTF-8
  std::unique_ptr<rt::Window> window_;
};

}  // namespace tdx::tender
