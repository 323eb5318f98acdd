// `tendrix run pcenik --to DIR`: the eJN copy without windows.

#include <gtest/gtest.h>

#include "app/tendrix_runner.h"
#include "support/temp_folder.h"

namespace tdx::app {
namespace {

using test::TempFolder;

TEST(RunPcenik, CopiesTheTenderFilesIntoTheFolderGiven) {
  TempFolder work("ejn-work"), dest("ejn-dest");
  auto demo = test::runTendrix({"demo", (work / "t").string(), "--items", "30", "--registry", "50"});
  ASSERT_EQ(demo.status, 0) << demo.err;
  auto r = test::runTendrix({"run", "pcenik", "--dir", (work / "t").string(), "--to", dest.path().string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  for (const char* f : {"podatki.dat", "ponudnik.dat", "paralela.dat"})
    EXPECT_TRUE(std::filesystem::exists(dest / f)) << f;
}

TEST(RunPcenik, AMissingFolderIsToldWithTheCopyMessage) {
  TempFolder work("ejn-work2");
  auto demo = test::runTendrix({"demo", (work / "t").string(), "--items", "30", "--registry", "50"});
  ASSERT_EQ(demo.status, 0) << demo.err;
  auto r = test::runTendrix({"run", "pcenik", "--dir", (work / "t").string(), "--to", (work / "nowhere").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Napaka: Napaka pri kopiranju Podatki.dat | Path Not Found", 0), 0u) << r.out;
}

}  // namespace
}  // namespace tdx::app
