// New quote.
#include "editing/new_quote.h"

#include <cmath>

#include "data/typed_date.h"
#include "editing/edit_quote.h"
#include "editing/field_check.h"
#include "editing/quote_command.h"
#include "editing/quote_sanity.h"

namespace barvane {
namespace {

// The values of the texts, NaN for a quantity the series does not hold. REQUIRES: the texts
// passed RefuseNewQuote.
std::array<float, 6> ValuesOf(const ViewState& state, const NewQuoteTexts& texts) {
  std::array<float, 6> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] = NAN;
    if (state.m_quotes.held[i]) (void)ReadFieldNumber(texts[i + 1], &values[i]);
  }
  return values;
}

}  // namespace

NewQuoteTexts ProposeNewQuote(const ViewState& state) {
  NewQuoteTexts texts;
  const auto& rows = state.m_quotes.rows;
  if (!rows.empty()) {
    DayNumber d = rows.front().day;
    do {
      ++d;
    } while (Weekday(d) == 0 || Weekday(d) == 6);
    texts[0] = DateText(d, state.m_quotes.style.fourDigitYears);
  }
  for (std::size_t i = 0; i < 6; ++i) texts[i + 1] = state.m_quotes.held[i] ? "" : "N/A";
  return texts;
}

std::string RefuseNewQuote(const ViewState& state, const NewQuoteTexts& texts) {
  if (state.m_quotes.timed) return kNewQuoteTimedText;
  if (std::string refusal = ShortYearRefusal(texts[0], state.m_quotes.style); !refusal.empty()) return refusal;
  DayNumber day = 0;
  if (!ReadDateField(texts[0], &day)) return kInvalidDataText;
  for (const QuoteGridRow& row : state.m_quotes.rows) {
    if (row.day == day) return "Date " + texts[0] + " already exists.";
  }
  for (std::size_t i = 1; i < texts.size(); ++i) {
    if (!state.m_quotes.held[i - 1]) continue;
    if (texts[i].size() > static_cast<std::size_t>(kEditValueLimit)) return TooLongText(kEditValueLimit);
    float value = 0;
    if (!ReadFieldNumber(texts[i], &value)) return kInvalidDataText;
  }
  return {};
}

std::string NewQuoteQuestion(const ViewState& state, const NewQuoteTexts& texts) {
  const DayNumber day = DayOfText(texts[0]);
  const std::array<float, 6> values = ValuesOf(state, texts);
  BarPrices bar;
  for (std::size_t p = 0; p < 4; ++p) {
    bar.price[p] = values[p];
    bar.typed[p] = Held(values[p]);
  }
  // Rows run newest first: the neighbours are the last row after the day and the first before.
  std::vector<float> closes;
  const auto& rows = state.m_quotes.rows;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].day < day) {
      closes.push_back(rows[r].values[3]);
      if (r > 0) closes.push_back(rows[r - 1].values[3]);
      break;
    }
    if (r + 1 == rows.size()) closes.push_back(rows[r].values[3]);
  }
  return SanityQuestion(bar, closes);
}

bool ApplyNewQuote(ViewState& state, const NewQuoteTexts& texts) {
  QuoteChange change;
  const std::array<float, 6> values = ValuesOf(state, texts);
  for (std::size_t i = 0; i < values.size(); ++i) change.value[i] = Held(values[i]) ? values[i] : 0.0f;
  change.fromDay = change.toDay = DayOfText(texts[0]);
  change.op = QuoteOp::kInsertNew;
  const std::string done = "Quote of " + texts[0] + " added to " + state.m_seriesSymbol;
  if (!FinishQuoteCommand(state, change, {kNewQuoteFailedText, "New", {}, 0, false, done})) return false;
  state.SelectQuoteRow(std::max(state.QuoteRowOf(texts[0]), 0));
  return true;
}

}  // namespace barvane
