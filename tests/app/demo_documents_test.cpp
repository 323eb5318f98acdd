// The demo's documents: two PDFs made by the report engine, whose texts are
// real (not lost for want of a font), a guide that names every command of
// the real menu, and a batch file that only prints.

#include "app/demo_documents.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

#include "app/tendrix_runner.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/procedure.h"
#include "app/procedures.h"
#include "shell/main_frame_menu.h"
#include "support/temp_folder.h"

namespace tdx::app {
namespace {

using test::TempFolder;

std::string run(const std::string& cmd) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
  if (!p) return out;
  std::array<char, 4096> buf{};
  while (std::size_t n = fread(buf.data(), 1, buf.size(), p.get())) out.append(buf.data(), n);
  return out;
}

bool havePdfText() { return !run("command -v pdftotext").empty(); }

TEST(DemoDocuments, DemoWritesBothDocumentsAndTheBatchFile) {
  TempFolder work("docs");
  auto r = test::runTendrix({"demo", (work / "t").string(), "--items", "40", "--registry", "100"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("navodila.pdf"), std::string::npos) << r.out;
  auto dir = work.path() / "t";
  for (const char* f : {"Specifikacija.pdf", "navodila.pdf"})
    EXPECT_EQ(test::readFile(dir / f).substr(0, 5), "%PDF-") << f;
  EXPECT_EQ(run("cd '" + dir.string() + "' && sh copyzdr.bat"),
            "Posodobitev registra zdravil - demo: datoteka zdravnet.tps ostane nespremenjena.\n");
  if (!havePdfText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  std::string spec = run("pdftotext '" + (dir / "Specifikacija.pdf").string() + "' -");
  EXPECT_NE(spec.find("Specifikacija zahtev naročnika"), std::string::npos) << spec;
  EXPECT_NE(spec.find("Splošna bolnišnica Vrbinje"), std::string::npos) << spec;
  EXPECT_NE(spec.find("40 postavk"), std::string::npos) << spec;
  std::string guide = run("pdftotext '" + (dir / "navodila.pdf").string() + "' -");
  EXPECT_NE(guide.find("Navodila za uporabo programa"), std::string::npos) << guide;
  EXPECT_NE(guide.find("Priprava podatkov za eJN"), std::string::npos) << guide;
}

TEST(DemoDocuments, GuideDescribesEveryCommandOfTheMenu) {
  auto guide = demo::userGuide();
  rt::HeadlessUi ui;
  TempFolder work("guide");
  rt::Session session(ui, work.path());
  rt::Program program(session);
  registerAllProcedures(program);
  auto plain = [](std::string s) {
    std::erase(s, '&');
    return s;
  };
  std::vector<std::string> missing;
  auto check = [&](const rt::MenuSpec& m) {
    bool found = false;
    for (const auto& p : guide)
      if (!p.heading && p.text.rfind(plain(m.text) + ": ", 0) == 0 && p.text.size() > plain(m.text).size() + 10)
        found = true;
    if (!found) missing.push_back(m.text);
  };
  for (const auto& m : shell::mainFrameSpec(program).menu) {
    if (!m.menu) check(m);
    for (const auto& i : m.items) check(i);
  }
  EXPECT_EQ(missing, std::vector<std::string>{});
}

}  // namespace
}  // namespace tdx::app
