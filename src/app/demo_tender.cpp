#include "app/demo_tender.h"

namespace tdx::app::demo {

std::vector<Written> writeDemoTender(const DemoTender& t, const std::filesystem::path& folder) {
  using Writer = Written (*)(const DemoTender&, const std::filesystem::path&);
  static constexpr Writer writers[] = {
      writeSkupine, writePskupine, writePodatki, writeOpism,   writeZdravnet,
      writeParalela, writePonudnik, writeKupec,  writeVerant,  writeZdrapcen,
  };
  std::vector<Written> out;
  for (Writer write : writers) out.push_back(write(t, folder));
  for (auto& w : writeExchangeFiles(t, folder)) out.push_back(std::move(w));
  return out;
}

}  // namespace tdx::app::demo
