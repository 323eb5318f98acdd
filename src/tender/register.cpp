#include "tender/register.h"

#include "runtime/procedure.h"
#include "tender/items_browser.h"
#include "tender/offer_form.h"
#include "tender/offers_browser.h"

namespace tdx::tender {

void registerProcedures(rt::Program& program) {
  program.add("brpodatki", makeBrpodatki);
  program.add("upparalela", makeUpparalela);
  program.add("brparalela", makeBrparalela);
}

}  // namespace tdx::tender
