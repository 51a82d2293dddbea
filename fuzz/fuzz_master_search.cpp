// Fuzz target: the MASTER search through a portfolio and its sub-portfolios, and the symbol
// listing, over a tree of crafted MASTER files with links out of the tree and back into it.
// The search must end, and never find a record outside the tree.
#include <cstdlib>

#include "app/symbol_list.h"
#include "app/ui.h"
#include "data/master.h"
#include "fuzz_tree.h"

namespace {

class SilentUi final : public barvane::Ui {
 public:
  void ShowMessage(const std::string&, barvane::MessageIcon) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace barvane;
  FuzzedDataProvider data(bytes, size);
  fuzz::MemoryFs fs;
  const std::string key = data.ConsumeRandomLengthString(20);
  fuzz::BuildTree(data, fs, 53 * 12);

  MasterRecord record;
  std::string recordDir;
  if (FindMasterRecord(fs, fuzz::kTop, key, &record, &recordDir) == kSuccess &&
      !recordDir.starts_with(fuzz::kTop)) {
    std::abort();  // a record found outside the portfolio's tree
  }
  SilentUi ui;
  SymbolListing listing;
  (void)ReadSymbolListing(fs, "/P/MASTER", ui, &listing);
  return 0;
}
