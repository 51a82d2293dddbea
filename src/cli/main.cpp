// barvane-cli: the editor's commands without the window. The words, outputs and exit statuses
// are a fixed contract (0 done, 1 failed or refused, 2 wrong words).
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/check_command.h"
#include "cli/history_commands.h"
#include "cli/quote_commands.h"
#include "cli/read_commands.h"
#include "cli/sample_drive.h"
#include "cli/stderr_ui.h"
#include "cli/text_encoding.h"
#include "cli/tool_commands.h"
#include "data/change_recorder.h"
#include "data/fs.h"
#include "data/memory_reuse.h"
#include "data/portfolio_lock.h"
#include "tools/undo.h"

namespace {

constexpr const char* kUsage =
    "usage: barvane-cli COMMAND ...\n"
    "  sample DIR                 write a demo drive of three portfolios under DIR\n"
    "  scan ROOT [--filter PATH]  the portfolios that a walk from ROOT finds\n"
    "  symbols DIR                the symbol grid of portfolio DIR\n"
    "  quotes DIR SYMBOL          the quote grid of SYMBOL, newest first\n"
    "  facts DIR SYMBOL           the facts the files hold about the series of SYMBOL\n"
    "  edit DIR SYMBOL DATE OPEN HIGH LOW CLOSE VOL OI   set one day's values\n"
    "  split DIR SYMBOL DATE NEW OLD                     enter a split before DATE\n"
    "  adjust DIR SYMBOL FROM TO PRICE VOL OI            scale a range of days\n"
    "  delete-quote DIR SYMBOL DATE                      delete one day\n"
    "  add-quote DIR SYMBOL DATE                         add the weekday before DATE\n"
    "  new-quote DIR SYMBOL DATE OPEN HIGH LOW CLOSE VOL OI  add a day the series lacks\n"
    "  split-search DIR                                  list possible unrecorded splits\n"
    "  export DIR SYMBOL FILE [--delim space|comma|tab] [--omit COLS] [--title] [--newest]\n"
    "         [--force]                                  write the quotes to a text file\n"
    "  export-all DIR OUTDIR [export options]            every symbol into its own file\n"
    "  import DIR SYMBOL FILE [--name NAME] [--replace] [--dates dmy|mdy|ymd]\n"
    "         [--adjusted] [--encoding NAME]             read quotes from a text file\n"
    "  import DIR FILE --by-ticker [import options]      one symbol per ticker of the file\n"
    "  edit-symbol DIR SYMBOL NEWSYMBOL NEWNAME          change a symbol and its name\n"
    "  delete-symbol DIR SYMBOL                          delete a symbol with its files\n"
    "  copy-symbol DIR SYMBOL DEST                       copy a symbol into portfolio DEST\n"
    "  move-symbol DIR SYMBOL DEST                       move a symbol into portfolio DEST\n"
    "  history DIR                                       the changes made to DIR, newest first\n"
    "  undo DIR [--force]                                undo the newest change to DIR\n"
    "  redo DIR [--force]                                redo the change undone last\n"
    "  check DIR [--repair]                              list (and mend) faults of the files\n"
    "every command that takes DIR also takes --codepage NAME, the code page of its symbols and\n"
    "names (windows-1250 ... windows-1258, cp437, cp850, cp866, koi8-r, iso-8859-N; default\n"
    "windows-1252)\n";

// The commands that only read the portfolio DIR, their first word after the command.
bool OnlyReadsPortfolio(const std::string& command) {
  return command == "symbols" || command == "quotes" || command == "facts" ||
         command == "split-search" || command == "export" || command == "export-all";
}

int Usage() {
  std::cerr << kUsage;
  return 2;
}

int RunCommand(std::vector<std::string> words) {
  using namespace barvane;
  const std::vector<std::string> given = words;
  if (words.empty()) return Usage();
  for (auto at = std::find(words.begin(), words.end(), "--codepage"); at != words.end();
       at = std::find(words.begin(), words.end(), "--codepage")) {
    const std::optional<CodePage> page = at + 1 != words.end() ? CodePage::Named(*(at + 1)) : std::nullopt;
    if (!page) {
      std::cerr << "--codepage takes one of:";
      for (const std::string& name : CodePageNames()) std::cerr << ' ' << name;
      std::cerr << '\n';
      return 2;
    }
    cli::UseCodePage(*page);
    words.erase(at, at + 2);
  }
  if (words.empty()) return Usage();
  const std::string command = words[0];
  // Symbols and names are the code page's bytes in the files; the shell hands over UTF-8.
  // Paths stay bytes.
  const std::vector<std::size_t> texts = cli::TextWords(command);
  for (std::size_t i : texts) {
    if (i >= words.size()) continue;
    const std::string what = command == "edit-symbol" && i == 4 ? "name" : "symbol";
    if (const std::string refusal = cli::FileCodePage().Refusal(words[i], what); !refusal.empty()) {
      std::cerr << refusal << '\n';
      return 1;
    }
    const std::string typed = words[i];
    (void)cli::FileCodePage().FromUtf8(typed, &words[i]);
  }
#ifdef _WIN32
  // A Windows path may be written with "\"; inside the program every path uses "/".
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (std::find(texts.begin(), texts.end(), i) == texts.end()) std::replace(words[i].begin(), words[i].end(), '\\', '/');
  }
#endif

  FileSystem& os = FileSystem::Default();
  cli::StderrUi ui;
  History history(os, DefaultHistoryDirectory(), HistoryLimits::FromEnvironment());
  if (cli::IsHistoryCommand(command)) {
    const int status = cli::RunHistoryCommand(history, ui, command, {words.begin() + 1, words.end()}, std::cout);
    return status == 2 ? Usage() : status;
  }
  // A command that may change a portfolio runs as one change of its history, under the words
  // as they were given.
  ChangeRecorder recorder(os, history);
  if (command == "check" && (words.size() == 2 || (words.size() == 3 && words[2] == "--repair"))) {
    // The repair of each symbol is a change of its own.
    if (words.size() == 3) RecoverHistory(history);
    return cli::CheckCommand(recorder, ui, words[1], words.size() == 3, std::cout);
  }
  std::optional<ChangeScope> change;
  if (cli::IsRecordedCommand(command) && words.size() >= 2) {
    RecoverHistory(history);
    change.emplace(recorder, given, words[1]);
  }
  FileSystem& fs = recorder;
  if (command == "sample" && words.size() == 2) {
    if (cli::WriteSampleDrive(fs, words[1])) return 0;
    ui.ShowMessage("The sample drive cannot be written under " + words[1], MessageIcon::kStop);
    return 1;
  }
  if (command == "scan" && (words.size() == 2 || (words.size() == 4 && words[2] == "--filter"))) {
    return cli::ScanPortfolios(fs, ui, words[1], words.size() == 4 ? words[3] : "", std::cout);
  }
  // A reader waits for a change under way to end, so that it never sees one half done.
  PortfolioLock readLock(fs);
  if (OnlyReadsPortfolio(command) && words.size() >= 2 &&
      !readLock.Acquire({words[1]}, LockMode::kShared)) {
    ui.ShowMessage(readLock.failureText(), MessageIcon::kStop);
    return 1;
  }
  if (command == "symbols" && words.size() == 2) return cli::ListSymbols(fs, ui, words[1], std::cout);
  if (command == "quotes" && words.size() == 3) {
    return cli::ListQuotes(fs, ui, words[1], words[2], std::cout);
  }
  if (command == "facts" && words.size() == 3) {
    return cli::ShowFacts(fs, ui, words[1], words[2], std::cout);
  }
  if (cli::IsQuoteCommand(command)) {
    const int status = cli::RunQuoteCommand(fs, ui, command, {words.begin() + 1, words.end()});
    return status == 2 ? Usage() : status;
  }
  if (cli::IsToolCommand(command)) {
    const int status = cli::RunToolCommand(fs, ui, command, {words.begin() + 1, words.end()}, std::cout);
    return status == 2 ? Usage() : status;
  }
  return Usage();
}

int Main(std::vector<std::string> words) {
  barvane::PassStandardOutputBytes();
  // Whatever a damaged file or an exhausted machine throws ends the command as a failure with
  // a message, never as an abort.
  try {
    return RunCommand(std::move(words));
  } catch (const std::exception& e) {
    std::cerr << "The command stopped: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "The command stopped on an unexpected error.\n";
  }
  return 1;
}

}  // namespace

#ifdef _WIN32
// Windows hands the words over as UTF-16, whatever its code page; inside they are UTF-8.
int wmain(int argc, wchar_t** argv) {
  barvane::ReuseFreedMemory();
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    const std::u8string word = std::filesystem::path(argv[i]).u8string();
    words.emplace_back(word.begin(), word.end());
  }
  return Main(std::move(words));
}
#else
int main(int argc, char** argv) {
  barvane::ReuseFreedMemory();
  return Main({argv + 1, argv + argc});
}
#endif
