// The quote-editing commands on the command line: the same checks, messages and file effects
// as the dialogs' OK, without settings.
#include "cli/quote_commands.h"

#include <map>

#include "app/settings_store.h"
#include "app/view_state.h"
#include "data/typed_date.h"
#include "editing/add_quote.h"
#include "editing/adjust.h"
#include "editing/delete_quote.h"
#include "editing/edit_quote.h"
#include "editing/new_quote.h"
#include "editing/split.h"

namespace barvane::cli {
namespace {

const std::map<std::string, std::size_t> kWordCounts = {
    {"edit", 9}, {"new-quote", 9}, {"split", 5}, {"adjust", 7}, {"delete-quote", 3}, {"add-quote", 3}};

// Refused: the message and status 1.
int Refuse(Ui& ui, const std::string& message) {
  ui.ShowMessage(message);
  return 1;
}

int Done(bool ok) { return ok ? 0 : 1; }

// A question the window asks about typed values is answered Yes here; its text goes to
// standard error so that a script's log shows what was stored against the advice.
void AnswerYes(Ui& ui, const std::string& question) {
  if (!question.empty()) ui.ShowMessage(question);
}

// The row whose date text is `date`, made current; -1 (told) when the grid has none, or when
// the date's two-digit year may name either of two centuries in this series.
int CurrentRow(ViewState& state, const std::string& date) {
  if (const std::string refusal = ShortYearRefusal(date, state.m_quotes.style); !refusal.empty()) {
    state.ui().ShowMessage(refusal);
    return -1;
  }
  const int row = state.QuoteRowOf(date);
  if (row < 0) {
    state.ui().ShowMessage("No quote dated " + date);
    return -1;
  }
  state.m_selQuoteRow = row;
  return row;
}

}  // namespace

bool IsQuoteCommand(const std::string& command) { return kWordCounts.count(command) != 0; }

int RunQuoteCommand(FileSystem& fs, Ui& ui, const std::string& command, const std::vector<std::string>& words) {
  if (!IsQuoteCommand(command) || words.size() != kWordCounts.at(command)) return 2;
  SettingsStore noSettings(fs);  // never opened: reads give defaults, writes go nowhere
  ViewState state(fs, noSettings, ui);
  if (!state.OpenSeries(words[0], words[1])) return 1;

  if (command == "edit") {
    const int row = CurrentRow(state, words[2]);
    if (row < 0) return 1;
    // A text equal to the grid's leaves that value's stored bytes as they are.
    const EditQuoteTexts shown = EditQuoteFields(state, row);
    const EditQuoteTexts texts = {words[2], words[3], words[4], words[5], words[6], words[7], words[8]};
    const std::string refusal = RefuseEditQuote(state, texts, shown);
    if (!refusal.empty()) return Refuse(ui, refusal);
    AnswerYes(ui, EditQuoteQuestion(state, texts, shown));
    return Done(ApplyEditQuote(state, texts, shown));
  }
  if (command == "new-quote") {
    const NewQuoteTexts texts = {words[2], words[3], words[4], words[5], words[6], words[7], words[8]};
    const std::string refusal = RefuseNewQuote(state, texts);
    if (!refusal.empty()) return Refuse(ui, refusal);
    AnswerYes(ui, NewQuoteQuestion(state, texts));
    return Done(ApplyNewQuote(state, texts));
  }
  if (command == "split") {
    const SplitTexts texts{words[2], words[3], words[4]};
    const std::string refusal = RefuseSplit(state, texts);
    return refusal.empty() ? Done(ApplySplit(state, texts)) : Refuse(ui, refusal);
  }
  if (command == "adjust") {
    const AdjustTexts texts{words[2], words[3], words[4], words[5], words[6]};
    const std::string refusal = RefuseAdjust(state, texts);
    return refusal.empty() ? Done(ApplyAdjust(state, texts)) : Refuse(ui, refusal);
  }
  if (command == "delete-quote") {
    if (!ui.AskYesNo(DeleteConfirmationText(words[2]))) return 1;
    return Done(ApplyDeleteQuote(state, words[2]));
  }
  if (CurrentRow(state, words[2]) < 0) return 1;
  const auto proposed = ProposeAddDate(state);
  if (!proposed) return Refuse(ui, kAddToSingleQuoteText);
  const std::string refusal = RefuseAddQuote(state, *proposed);
  return refusal.empty() ? Done(ApplyAddQuote(state, *proposed)) : Refuse(ui, refusal);
}

}  // namespace barvane::cli
