// history, undo and redo on the command line.
#include "cli/history_commands.h"

#include <ctime>
#include <set>

#include "data/fs.h"
#include "tools/undo.h"

namespace barvane::cli {
namespace {

// YYYY-MM-DD HH:MM:SS in local time.
std::string TimeText(std::int64_t seconds) {
  const auto time = static_cast<std::time_t>(seconds);
  std::tm local{};
  char text[32] = "";
  if (LocalTime(time, &local)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

int ListHistory(History& history, Ui& ui, const std::string& dir, std::ostream& out) {
  std::vector<Change> changes;
  if (!history.List(dir, &changes)) {
    ui.ShowMessage("The history in " + history.directory() + " cannot be read.", MessageIcon::kStop);
    return 1;
  }
  int number = 0;
  for (const Change& change : changes) {
    if (change.undone) continue;
    out << ++number << '\t' << TimeText(change.time) << '\t' << WordsText(change.words) << '\n';
  }
  return 0;
}

}  // namespace

bool IsRecordedCommand(const std::string& command) {
  static const std::set<std::string> kUnrecorded = {"sample", "scan",       "symbols", "quotes",
                                                    "facts",  "split-search", "export", "export-all",
                                                    "history", "undo",      "redo"};
  return kUnrecorded.count(command) == 0;
}

bool IsHistoryCommand(const std::string& command) {
  return command == "history" || command == "undo" || command == "redo";
}

int RunHistoryCommand(History& history, Ui& ui, const std::string& command,
                      const std::vector<std::string>& words, std::ostream& out) {
  if (command == "history") return words.size() == 1 ? ListHistory(history, ui, words[0], out) : 2;
  const bool force = words.size() == 2 && words[1] == "--force";
  if (words.size() != 1 && !force) return 2;
  RecoverHistory(history);
  const bool undo = command == "undo";
  const UndoOutcome outcome = undo ? Undo(history, words[0], force) : Redo(history, words[0], force);
  if (!outcome.done) {
    ui.ShowMessage(outcome.message + (outcome.changedSince ? "\nWith --force it is " + std::string(undo ? "undone" : "redone") + " all the same." : ""),
                   MessageIcon::kStop);
    return 1;
  }
  out << (undo ? "Undone: " : "Redone: ") << WordsText(outcome.change.words) << '\n';
  return 0;
}

}  // namespace barvane::cli
