// Fuzz target: the history store over crafted record files. The input is split at each "\n#\n"
// into a change file, a recording, a later part of that recording, the portfolio's one quote
// file and, when anything follows, the change's undone mark: what follows its first byte (the
// bytes after that the undo kept). The store is then listed, loaded, recovered, undone and
// redone, none of which may crash or read out of bounds.
#include <string>
#include <string_view>

#include "data/history.h"
#include "memory_fs.h"
#include "tools/undo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace barvane;
  fuzz::MemoryFs fs;
  for (const char* dir : {"/H", "/P"}) fs.dirs.insert(dir);
  constexpr const char* kNames[] = {"/H/000000000001.chg", "/H/000000000002.rec", "/H/000000000002.rec1",
                                    "/P/F1.DAT"};
  std::string_view rest(reinterpret_cast<const char*>(bytes), size);
  for (const char* name : kNames) {
    const std::size_t end = std::min(rest.find("\n#\n"), rest.size());
    fs.files[name] = Bytes(rest.begin(), rest.begin() + static_cast<long>(end));
    rest.remove_prefix(std::min(end + 3, rest.size()));
  }
  if (!rest.empty()) fs.files["/H/000000000001.undone"] = Bytes(rest.begin() + 1, rest.end());

  History history(fs, "/H");
  std::vector<Change> listed;
  (void)history.List("/P", &listed);
  for (const Change& change : listed) (void)ChangeTitle(change);
  Change change;
  (void)history.Load(1, &change);
  (void)history.LoadRecording(2, &change);
  RecoverHistory(history);
  for (bool force : {false, true}) {
    (void)Undo(history, "/P", force);
    (void)Redo(history, "/P", force);
  }
  return 0;
}
