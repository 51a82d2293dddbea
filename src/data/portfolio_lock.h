// PortfolioLock: how Barvane processes keep out of each other's way. A command that changes a
// portfolio holds an exclusive lock on each portfolio directory it changes for the whole
// command; a command that only reads holds a shared one. The locks are advisory locks on the
// directories themselves, so a portfolio gains no file; other programs writing the same files
// are not kept out. Several directories are locked in one order (by device and inode), so two
// commands never wait on each other in a circle, and a lock held elsewhere is waited for a
// short while only, after which the command is refused.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/fs.h"

namespace barvane {

// How long a command waits for another Barvane to finish with a portfolio.
inline constexpr std::chrono::milliseconds kPortfolioLockWait{5000};

// The refusal of a command that found `dir` locked for longer than it waits.
std::string PortfolioBusyText(const std::string& dir);
// Whether `text` is such a refusal, so that a caller may offer to try again.
bool IsPortfolioBusyText(const std::string& text);
// The refusal of a command whose existing portfolio directory `dir` cannot be opened to be
// locked (no permission to read it, say).
std::string PortfolioUnlockableText(const std::string& dir);

class PortfolioLock {
 public:
  explicit PortfolioLock(FileSystem& fs) : fs_(fs) {}
  PortfolioLock(const PortfolioLock&) = delete;
  PortfolioLock& operator=(const PortfolioLock&) = delete;

  // Locks every directory of `dirs` in `mode`, waiting up to `wait` for each. Two paths to
  // one directory lock it once; empty entries and paths that lead to no directory are passed
  // over (the command then finds them missing). On success holds the locks until
  // Release or destruction and returns true. On failure holds none, returns false and
  // failureText() tells the user which portfolio could not be locked and why.
  [[nodiscard]] bool Acquire(const std::vector<std::string>& dirs, LockMode mode,
                             std::chrono::milliseconds wait = kPortfolioLockWait);

  // Acquire, exclusively, of `dir`, the directory whose MASTER names `symbol` (a
  // sub-portfolio of `dir`, found by the tree search) and `others`. The search is repeated
  // under the lock, so the symbol's directory cannot move away in between. A symbol that is
  // not found locks `dir` and `others` only: the command then reports the symbol missing.
  [[nodiscard]] bool AcquireForSymbol(const std::string& dir, std::string_view symbol,
                                      const std::vector<std::string>& others,
                                      std::chrono::milliseconds wait = kPortfolioLockWait);

  void Release() { held_.clear(); }
  const std::string& failureText() const { return failureText_; }

 private:
  FileSystem& fs_;
  std::vector<std::unique_ptr<DirectoryLock>> held_;
  std::string failureText_;
};

}  // namespace barvane
