// The demo tender's plan at the sizes the benchmarks use: every item fits
// the exchange files written from it.

#include <gtest/gtest.h>

#include "app/demo_tender.h"

namespace tdx::app::demo {
namespace {

TEST(DemoPlan, LotsOfALargeTenderFitThePriceListsThreeDigits) {
  DemoOptions options;
  options.items = 100000;
  const DemoTender t = planDemoTender(options);
  ASSERT_EQ(t.items.size(), 100000u);
  int highest = 0;
  for (const auto& item : t.items) highest = std::max<int>(highest, item.lot);
  EXPECT_LE(highest, 999);
  EXPECT_GT(highest, 100);  // still many lots, not one huge one
}

}  // namespace
}  // namespace tdx::app::demo
