// The parties of the tender: the buyer (KUPEC), the bidder (PONUDNIK), the
// registered applicants (VERANT); and the offer report's work file
// (ZDRAPCEN), which starts empty.

#include "app/demo_names.h"
#include "app/demo_tender.h"
#include "app/demo_writer.h"
#include "records/layouts.h"

namespace tdx::app::demo {

Written writeKupec(const DemoTender&, const std::filesystem::path& folder) {
  RecordWriter w(FileId::Kupec, folder);  // sealed with the owner password by the store
  auto& r = w.as<Kupec>();
  Str<35>* lines[] = {&r.naz01, &r.naz02, &r.naz03, &r.naz04, &r.naz05,
                      &r.naz06, &r.naz07, &r.naz08, &r.naz09, &r.naz10};
  auto text = buyerLines();
  for (std::size_t i = 0; i < text.size() && i < std::size(lines); ++i) put(*lines[i], text[i]);
  w.add();
  return w.finish("buyer (encrypted)");
}

Written writePonudnik(const DemoTender& t, const std::filesystem::path& folder) {
  RecordWriter w(FileId::Ponudnik, folder);
  const Party& b = bidder();
  auto& r = w.as<Ponudnik>();
  put(r.naziv, b.name);
  put(r.naslov, b.address);
  put(r.posta, b.post);
  put(r.davcna, t.applicantTax);
  w.add();
  return w.finish("bidder");
}

Written writeVerant(const DemoTender& t, const std::filesystem::path& folder) {
  RecordWriter w(FileId::Verant, folder);
  auto others = otherApplicants();
  // The applicant the items name stands among the others, not first, so a
  // lookup that only reads the first record is caught out.
  std::size_t at = others.size() / 2;
  for (std::size_t i = 0; i <= others.size(); ++i) {
    auto& r = w.as<Verant>();
    if (i == at) {
      put(r.davcna, t.applicantTax);
      put(r.naziv, bidder().name);
    } else {
      const Party& p = others[i < at ? i : i - 1];
      put(r.davcna, taxNumber(p));
      put(r.naziv, p.name);
    }
    w.add();
  }
  return w.finish("registered applicants");
}

Written writeZdrapcen(const DemoTender&, const std::filesystem::path& folder) {
  RecordWriter w(FileId::Zdrapcen, folder);
  return w.finish("records (offer report work file)");
}

}  // namespace tdx::app::demo
