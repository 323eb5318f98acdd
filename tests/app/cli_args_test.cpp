#include "app/cli_args.h"

#include <gtest/gtest.h>

namespace tdx::app {
namespace {

constexpr OptionSpec kSpecs[] = {{"dir"}, {"answer", true, true}, {"replace", false}};

TEST(CliArgs, ReadsPositionalsValuesFlagsAndRepeats) {
  std::string error;
  auto p = parseArgs({"paralela", "--dir", "/t", "--answer=&Yes", "x", "--replace", "--answer", "&No",
                      "--", "--literal"},
                     kSpecs, error);
  ASSERT_TRUE(p) << error;
  EXPECT_EQ(p->positional, (std::vector<std::string>{"paralela", "x", "--literal"}));
  EXPECT_EQ(p->value("dir"), "/t");
  EXPECT_TRUE(p->has("replace"));
  EXPECT_EQ(p->values("answer"), (std::vector<std::string>{"&Yes", "&No"}));
  EXPECT_FALSE(p->value("missing"));
}

TEST(CliArgs, RefusesWhatItDoesNotKnow) {
  struct Case {
    Args args;
    const char* error;
  } cases[] = {
      {{"--dri", "x"}, "unknown option --dri"},
      {{"-d"}, "unknown option -d"},
      {{"--dir"}, "option --dir needs a value"},
      {{"--dir", "a", "--dir", "b"}, "option --dir given twice"},
      {{"--replace=yes"}, "option --replace takes no value"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(parseArgs(c.args, kSpecs, error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

TEST(CliArgs, WholeNumbers) {
  struct Case {
    const char* text;
    std::optional<std::int64_t> value;
  } cases[] = {
      {"20000", 20000}, {"+7", 7}, {"0", 0}, {"", std::nullopt}, {"12abc", std::nullopt},
      {"1e3", std::nullopt}, {"-1", std::nullopt}, {"+-1", std::nullopt}, {"100001", std::nullopt},
      {" 5", std::nullopt}, {"99999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(parseWholeNumber(c.text, 0, 100000), c.value) << c.text;
}

}  // namespace
}  // namespace tdx::app
