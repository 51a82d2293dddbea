// Test support: the portfolio check's report as lines, and where the MASTER bytes lie that spoil
// a built portfolio for it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "data/master.h"
#include "support/portfolio_builder.h"
#include "tools/portfolio_check.h"

namespace barvane::test {

using Lines = std::vector<std::string>;

inline Lines LinesOf(const std::vector<CheckProblem>& problems) {
  Lines lines;
  for (const CheckProblem& p : problems) lines.push_back(CheckLine(p));
  return lines;
}

// What the check finds in `dir`, checked to the end.
inline std::vector<CheckProblem> Problems(const std::string& dir) {
  std::vector<CheckProblem> problems;
  EXPECT_EQ(CheckPortfolio(FileSystem::Default(), dir, nullptr, &problems), CheckOutcome::kDone);
  return problems;
}

inline Lines CheckLines(const std::string& dir) { return LinesOf(Problems(dir)); }

// The offset in MASTER of byte `field` of record `record` (1-based).
inline std::size_t MasterAt(int record, std::size_t field) {
  return kMasterRecordSize * static_cast<std::size_t>(record) + field;
}

}  // namespace barvane::test
