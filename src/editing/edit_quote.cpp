// Edit quote.
#include "editing/edit_quote.h"

#include <vector>

#include "data/quote_series.h"
#include "editing/field_check.h"
#include "editing/quote_command.h"
#include "editing/quote_sanity.h"

namespace barvane {

EditQuoteTexts EditQuoteFields(const ViewState& state, int row) {
  EditQuoteTexts texts;
  if (row < 0 || row >= static_cast<int>(state.m_quotes.rows.size())) return texts;
  const QuoteGridRow& quote = state.m_quotes.rows[static_cast<std::size_t>(row)];
  texts[0] = QuoteMomentText(quote, state.m_quotes.style);
  for (std::size_t i = 1; i < texts.size(); ++i) {
    texts[i] = QuoteCellText(quote, static_cast<QuoteColumn>(kQuoteOpenColumn + i - 1), state.m_quotes.style);
  }
  return texts;
}

EditNavigation NavigationOf(int row, int count) {
  const bool newer = row != 0, older = row != count - 1;
  return {older, newer, older, newer};
}

int Navigate(int row, int count, EditStep step) {
  switch (step) {
    case EditStep::kFirst: return count - 1;
    case EditStep::kLast: return 0;
    case EditStep::kNext: return row != 0 ? row - 1 : row;
    case EditStep::kPrevious: return row < count - 1 ? row + 1 : row;
  }
  return row;
}

namespace {

constexpr std::array<const char*, 6> kValueNames = {"Open",  "High",   "Low",
                                                    "Close", "Volume", "Open Interest"};

bool Changed(const EditQuoteTexts& texts, const EditQuoteTexts& shown, std::size_t i) {
  return texts[i] != shown[i];
}

// Value i - 1 is written when its text changed and reads as a number; a text that is no number
// belongs to a field the file does not store (the refusal saw to that).
bool Sets(const EditQuoteTexts& texts, const EditQuoteTexts& shown, std::size_t i, float* value) {
  return Changed(texts, shown, i) && ReadFieldNumber(texts[i], value);
}

// What a successful edit reports: the values written, e.g. "Close and Volume set for ABC on
// 06/17/98".
std::string DoneText(const std::string& symbol, const std::string& date,
                     const std::array<bool, 6>& written) {
  std::vector<const char*> names;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i]) names.push_back(kValueNames[i]);
  }
  const std::string where = " for " + symbol + " on " + date;
  if (names.empty()) return "No value changed" + where;
  std::string list = names.front();
  for (std::size_t i = 1; i < names.size(); ++i)
    list += (i + 1 == names.size() ? " and " : ", ") + std::string(names[i]);
  return list + " set" + where;
}

}  // namespace

bool EditTextsChanged(const EditQuoteTexts& texts, const EditQuoteTexts& shown) {
  for (std::size_t i = 1; i < texts.size(); ++i) {
    if (Changed(texts, shown, i)) return true;
  }
  return false;
}

std::string StoreChangesQuestion(const EditQuoteTexts& shown) {
  return "Store the changes to " + shown[0] + " first?";
}

std::string RefuseEditQuote(ViewState& state, const EditQuoteTexts& texts,
                            const EditQuoteTexts& shown) {
  for (std::size_t i = 1; i < texts.size(); ++i) {
    if (Changed(texts, shown, i) && texts[i].size() > static_cast<std::size_t>(kEditValueLimit)) {
      return TooLongText(kEditValueLimit);
    }
  }
  QuoteSeries facts;
  if (LoadSeries(state.fs(), &facts, state.m_portfolioDir, state.m_seriesSymbol, 0, 0) != kSuccess) {
    return {};  // the rewrite reports what is wrong with the files
  }
  for (std::size_t i = 1; i < texts.size(); ++i) {
    float value = 0;
    if (Changed(texts, shown, i) && facts.info->layout.holds(kOpen + static_cast<int>(i) - 1) &&
        !ReadFieldNumber(texts[i], &value)) {
      return kInvalidDataText;
    }
  }
  return {};
}

std::string EditQuoteQuestion(const ViewState& state, const EditQuoteTexts& texts,
                              const EditQuoteTexts& shown) {
  const int row = state.QuoteRowOf(texts[0]);
  if (row < 0) return {};
  const auto& rows = state.m_quotes.rows;
  BarPrices bar;
  for (std::size_t p = 0; p < 4; ++p) {
    bar.price[p] = rows[static_cast<std::size_t>(row)].values[p];
    float value = 0;
    if (Held(bar.price[p]) && Sets(texts, shown, p + 1, &value)) {
      bar.price[p] = value;
      bar.typed[p] = true;
    }
  }
  std::vector<float> closes;
  for (int r : {row - 1, row + 1}) {
    if (r >= 0 && r < static_cast<int>(rows.size())) closes.push_back(rows[static_cast<std::size_t>(r)].values[3]);
  }
  return SanityQuestion(bar, closes);
}

bool ApplyEditQuote(ViewState& state, const EditQuoteTexts& texts, const EditQuoteTexts& shown) {
  // Only to tell what was written: the rewrite itself never writes a field the file lacks.
  QuoteSeries facts;
  const bool known =
      LoadSeries(state.fs(), &facts, state.m_portfolioDir, state.m_seriesSymbol, 0, 0) == kSuccess;
  QuoteChange change;
  std::array<bool, 6> written{};
  for (std::size_t i = 1; i < texts.size(); ++i) {
    float value = 0;
    change.keep[i - 1] = !Sets(texts, shown, i, &value);
    change.value[i - 1] = value;
    written[i - 1] =
        !change.keep[i - 1] && known && facts.info->layout.holds(kOpen + static_cast<int>(i) - 1);
  }
  if (const std::string refusal = AddressOneQuote(state, texts[0], &change); !refusal.empty()) {
    if (refusal != kNoQuoteAddress) state.ui().ShowMessage(refusal);
    state.ui().ShowMessage(kEditQuoteFailedText);
    return false;
  }
  change.op = QuoteOp::kSet;
  return FinishQuoteCommand(state, change,
                            {kEditQuoteFailedText,
                             "Edit",
                             {{"Date", texts[0]},
                              {"Open", texts[1]},
                              {"Hi", texts[2]},
                              {"Lo", texts[3]},
                              {"Close", texts[4]},
                              {"Vol", texts[5]},
                              {"OI", texts[6]}},
                             kKeepPlace,
                             false,
                             DoneText(state.m_seriesSymbol, texts[0], written)});
}

}  // namespace barvane
