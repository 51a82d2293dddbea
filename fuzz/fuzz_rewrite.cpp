// Fuzz target: the quote file rewrite over crafted files, with a failure injected at a chosen
// step. A rewrite that reports failure must leave every file but the backups with its old
// bytes and no temporary file behind.
#include <algorithm>
#include <cstdlib>
#include <limits>

#include "data/rewrite.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace barvane;
  FuzzedDataProvider data(bytes, size);
  fuzz::MemoryFs fs;
  fs.dirs.insert("/P");
  QuoteChange change;
  constexpr QuoteOp kOps[] = {QuoteOp::kSet, QuoteOp::kMultiply, QuoteOp::kDelete,
                              QuoteOp::kInsertCopy};
  change.op = kOps[data.ConsumeIntegralInRange(0, 3)];
  change.fromDay = data.ConsumeIntegral<DayNumber>();
  // Widened: a range may end at the highest day number, never beyond it.
  change.toDay = static_cast<DayNumber>(std::min<std::int64_t>(
      std::int64_t{change.fromDay} + data.ConsumeIntegralInRange(0, 40), std::numeric_limits<DayNumber>::max()));
  for (float& v : change.value) v = data.ConsumeFloatingPoint<float>();
  fs.failAt = data.ConsumeIntegralInRange(0, 40);
  const std::string key = data.ConsumeRandomLengthString(20);
  fs.files["/P/MASTER"] = fuzz::TakeBytes(data, 53 * 6);
  if (data.ConsumeBool()) fs.files["/P/F1.DOP"] = fuzz::TakeBytes(data, 400);
  if (data.ConsumeBool()) fs.files["/P/F1.BAK"] = {1, 2, 3};
  fs.files["/P/F1.DAT"] = data.ConsumeRemainingBytes<std::uint8_t>();

  const auto before = fs.files;
  if (RewriteQuotes(fs, change, "/P/", key) == kSuccess) return 0;
  for (const auto& [path, contents] : fs.files) {
    if (path.ends_with(".BAK")) continue;
    if (path.ends_with(".NEW")) std::abort();  // a temporary file left behind
    const auto old = before.find(path);
    if (old == before.end() || old->second != contents) std::abort();  // a file changed
  }
  for (const auto& [path, contents] : before) {
    if (!fs.files.count(path)) std::abort();  // a file gone
  }
  return 0;
}
