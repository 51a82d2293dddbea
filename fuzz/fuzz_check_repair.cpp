// Fuzz target: the check and the repair over crafted index and quote files, with a failure
// injected at a chosen step of the repair. The input is a byte (the failing step) followed by
// files, each a byte choosing its name, a 16-bit little-endian length and that many bytes. A
// repair that reports failure must leave every file with its old bytes; one that succeeds
// must leave nothing for a second repair to mend.
#include <cstdlib>
#include <string>

#include "memory_fs.h"
#include "tools/portfolio_check.h"
#include "tools/portfolio_repair.h"

namespace {

constexpr const char* kNames[] = {"/P/MASTER",  "/P/EMASTER", "/P/XMASTER", "/P/F1.DAT",  "/P/F2.DAT",
                                  "/P/F3.DAT",  "/P/F1.DOP",  "/P/F2.DOP",  "/P/F256.MWD", "/P/F257.MWD",
                                  "/P/S/MASTER", "/P/S/F1.DAT", "/P/S/EMASTER", "/P/F4.DAT", "/P/F255.DAT",
                                  "/P/F1.BAK"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace barvane;
  if (size == 0) return 0;
  fuzz::MemoryFs fs;
  fs.dirs.insert("/P");
  fs.dirs.insert("/P/S");
  const int failAt = bytes[0];
  for (std::size_t at = 1; at + 3 <= size;) {
    const char* name = kNames[bytes[at] % std::size(kNames)];
    const std::size_t length = std::min<std::size_t>(bytes[at + 1] | bytes[at + 2] << 8, size - at - 3);
    fs.files[name] = Bytes(bytes + at + 3, bytes + at + 3 + length);
    at += 3 + length;
  }

  std::vector<CheckProblem> problems;
  (void)CheckPortfolio(fs, "/P/", nullptr, &problems);
  for (const CheckProblem& problem : problems) (void)CheckLine(problem);

  const auto before = fs.files;
  fs.failAt = failAt;
  const RepairResult result = RepairPortfolio(fs, "/P/", nullptr);
  fs.failAt = 0;
  if (result.outcome == RepairOutcome::kFailed) {
    // Not one byte of the repair may stand when it failed and said it put every file back.
    if (result.restored && fs.files != before) std::abort();
    return 0;
  }
  if (result.outcome != RepairOutcome::kDone || result.mends.empty()) return 0;
  if (!RepairPortfolio(fs, "/P/", nullptr).mends.empty()) std::abort();  // mended twice
  return 0;
}
