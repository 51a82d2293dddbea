#include "data/printed.h"

#include <gtest/gtest.h>

namespace barvane {
namespace {

TEST(Printed, PutsInStringsWholeHoweverLongTheText) {
  const std::string dir = "/home/trader/" + std::string(400, 'x');
  EXPECT_EQ(Printed("Portfolio %s is not in the portfolio list", dir),
            "Portfolio " + dir + " is not in the portfolio list");
  EXPECT_EQ(Printed("%s %s above high %.2f", "close", std::string("3.50"), 2.95),
            "close 3.50 above high 2.95");
  EXPECT_EQ(Printed("Quote %d of %zu", 7, std::size_t{65535}), "Quote 7 of 65535");
}

}  // namespace
}  // namespace barvane
