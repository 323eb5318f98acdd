#include "tender/offer_calls.h"

#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/procedure.h"
#include "runtime/record_browse.h"
#include "runtime/stdfiles.h"

namespace tdx::tender {

using namespace rt;

namespace {

int callForm(Context& ctx, int request) {
  ctx.globalRequest = request;
  ctx.globalResponse = resp::None;
  if (!ctx.session().program().call("upparalela", ctx)) return resp::Cancelled;
  return ctx.globalResponse;
}

// After the form: on the offer it wrote, or the page as it now stands.
void takeBack(Context& ctx, RecordBrowse& offers, int response, bool onTheOffer) {
  auto& file = ctx.file(FileId::Paralela);
  if (response == resp::Completed && onTheOffer && file.position()) {
    RecordBuffer written = ctx.buf(FileId::Paralela);
    if (offers.showRecord(written, file.position())) return;
  }
  offers.refresh(true);
}

int changeOrDelete(Context& ctx, RecordBrowse& offers, int request) {
  const BrowseRow* row = offers.currentRow();
  if (!row) return resp::Cancelled;
  offers.makeCurrent();
  auto& file = ctx.file(FileId::Paralela);
  if (!file.reget(row->position(), ctx.buf(FileId::Paralela))) {
    // Gone since the page was read (another station deleted it).
    standardWarning(ctx, 35, file.error(), "paralela");
    offers.refresh(true);
    return resp::Cancelled;
  }
  int response = callForm(ctx, request);
  takeBack(ctx, offers, response, request == req::Change);
  return response;
}

}  // namespace

int addOffer(Context& ctx, RecordBrowse& offers, const ItemKey& item) {
  auto& buf = ctx.buf(FileId::Paralela);
  buf.clear();
  auto& p = buf.as<Paralela>();
  p.skup = item.group;
  p.posk = item.subgroup;
  p.sklop = item.lot;
  p.sifr = item.code;
  int response = callForm(ctx, req::Insert);
  takeBack(ctx, offers, response, true);
  return response;
}

int changeOffer(Context& ctx, RecordBrowse& offers) { return changeOrDelete(ctx, offers, req::Change); }

int deleteOffer(Context& ctx, RecordBrowse& offers) { return changeOrDelete(ctx, offers, req::Delete); }

}  // namespace tdx::tender
