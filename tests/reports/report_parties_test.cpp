// Both reports refuse to print without the bidder's name or the buyer.

#include "report_fixture.h"

namespace tdx::reports::test {
namespace {

struct Case {
  const char* procedure;
  const char* bidder;
  const char* buyer;
  const char* message;
};

class ReportPartiesTest : public ReportTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ReportPartiesTest, ABlankNameIsToldAndNothingIsShown) {
  const Case& c = GetParam();
  parties(c.bidder, c.buyer);
  groups();
  store(FileId::Podatki, {item(28, 1, 1, 1, "Aspirin")});
  store(FileId::Paralela, {offer(28, 1, 1, 1, "A1", "1")});
  start(c.procedure);
  EXPECT_EQ(previews, 0);
  EXPECT_EQ(messages(), std::vector<std::string>{std::string("Opozorilo: ") + c.message});
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].icon, rt::Icon::Stop);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ReportPartiesTest,
    ::testing::Values(Case{"rescenami", "", "Bolnišnica", "Prosimo vpišite vaše podatke (klik na -> Prijavitelj)!"},
                      Case{"rescenami", "Lekarna", "", "Prosimo vpišite podatke o kupcu! "},
                      Case{"reparalela", "", "Bolnišnica",
                           "Prosimo vpišite vaše podatke s pritiskom na gumb -> Prijavitelj!"},
                      Case{"reparalela", "Lekarna", "", "Prosimo vpišite podatke o kupcu! "}),
    [](const ::testing::TestParamInfo<Case>& info) {
      return std::string(info.param.procedure) + (*info.param.bidder ? "_NoBuyer" : "_NoBidder");
    });

// An empty bidder file is a blank bidder.
TEST_F(ReportTest, AnEmptyBidderFileIsABlankBidder) {
  parties();
  store(FileId::Ponudnik, {});
  store(FileId::Podatki, {item(28, 1, 1, 1, "Aspirin")});
  start("rescenami");
  EXPECT_EQ(previews, 0);
  EXPECT_EQ(messages(), std::vector<std::string>{"Opozorilo: Prosimo vpišite vaše podatke (klik na -> Prijavitelj)!"});
}

}  // namespace
}  // namespace tdx::reports::test
