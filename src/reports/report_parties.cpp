#include "reports/report_parties.h"

#include <string>

#include "reports/view_reader.h"
#include "runtime/context.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"

namespace tdx::reports {

namespace {

bool refuse(rt::Context& ctx, std::string_view text) {
  ctx.ui().message(rt::Message{"Opozorilo", std::string(text), rt::Icon::Stop});
  return false;
}

bool readFirst(rt::Context& ctx, FileId id, RecordBuffer& into) {
  err::Error error;
  if (readFirstRecord(ctx.file(id), into, error)) return true;
  rt::standardWarning(ctx, 35, error, rt::shortName(id));
  return false;
}

}  // namespace

bool readParties(rt::Context& ctx, std::string_view noBidderText, Parties& out) {
  if (!readFirst(ctx, FileId::Ponudnik, out.bidder)) return false;
  if (out.pon().naziv.blank()) return refuse(ctx, noBidderText);
  if (!readFirst(ctx, FileId::Kupec, out.buyer)) return false;
  if (out.kup().naz01.blank()) return refuse(ctx, "Prosimo vpišite podatke o kupcu! ");
  return true;
}

}  // namespace tdx::reports
