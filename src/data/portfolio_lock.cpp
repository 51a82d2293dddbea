// Portfolio locks, taken in device and inode order with a bounded wait.
#include "data/portfolio_lock.h"

#include <algorithm>
#include <thread>

#include "data/file_names.h"
#include "data/master.h"

namespace barvane {
namespace {

constexpr std::chrono::milliseconds kRetryInterval{20};
// The symbol's directory changes under a command only when another one moved it meanwhile.
constexpr int kSymbolSearches = 3;

struct Target {
  FileIdentity identity;
  std::string dir;
};

std::string SymbolDirectory(FileSystem& fs, const std::string& dir, std::string_view symbol) {
  MasterRecord record;
  std::string recordDir;
  return FindMasterRecord(fs, dir, symbol, &record, &recordDir) == kSuccess ? recordDir
                                                                             : std::string();
}

}  // namespace

std::string PortfolioBusyText(const std::string& dir) {
  return "The portfolio\n" + WithoutTrailingSlash(dir) +
         "\nis in use by another Barvane command. Nothing was done; try again when it has "
         "finished.";
}

bool IsPortfolioBusyText(const std::string& text) {
  const std::string tail = PortfolioBusyText("").substr(std::string("The portfolio\n").size());
  return text.starts_with("The portfolio\n") && text.ends_with(tail);
}

std::string PortfolioUnlockableText(const std::string& dir) {
  return "The portfolio\n" + WithoutTrailingSlash(dir) + "\ncannot be opened. Nothing was done.";
}

bool PortfolioLock::Acquire(const std::vector<std::string>& dirs, LockMode mode,
                            std::chrono::milliseconds wait) {
  Release();
  failureText_.clear();
  std::vector<Target> targets;
  for (const std::string& dir : dirs) {
    if (dir.empty()) continue;
    FileInfo info;
    // What does not exist holds nothing to protect; the command finds it missing on its own.
    if (!fs_.Stat(dir, &info) || info.kind != DirEntry::Kind::kDirectory) continue;
    targets.push_back({info.identity, dir});
  }
  std::sort(targets.begin(), targets.end(),
            [](const Target& a, const Target& b) { return a.identity < b.identity; });
  targets.erase(std::unique(targets.begin(), targets.end(),
                            [](const Target& a, const Target& b) { return a.identity == b.identity; }),
                targets.end());

  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (const Target& target : targets) {
    while (true) {
      FileIdentity identity;
      bool busy = false;
      if (auto lock = fs_.TryLockDirectory(target.dir, mode, &identity, &busy)) {
        held_.push_back(std::move(lock));
        break;
      }
      if (!busy || std::chrono::steady_clock::now() >= deadline) {
        Release();
        failureText_ = busy ? PortfolioBusyText(target.dir) : PortfolioUnlockableText(target.dir);
        return false;
      }
      std::this_thread::sleep_for(kRetryInterval);
    }
  }
  return true;
}

bool PortfolioLock::AcquireForSymbol(const std::string& dir, std::string_view symbol,
                                     const std::vector<std::string>& others,
                                     std::chrono::milliseconds wait) {
  std::string symbolDir = SymbolDirectory(fs_, dir, symbol);
  for (int search = 1;; ++search) {
    std::vector<std::string> dirs = others;
    dirs.push_back(dir);
    dirs.push_back(symbolDir);
    if (!Acquire(dirs, LockMode::kExclusive, wait)) return false;
    const std::string now = SymbolDirectory(fs_, dir, symbol);
    if (now == symbolDir || now.empty()) return true;
    Release();
    if (search == kSymbolSearches) {
      failureText_ = PortfolioBusyText(dir);
      return false;
    }
    symbolDir = now;
  }
}

}  // namespace barvane
