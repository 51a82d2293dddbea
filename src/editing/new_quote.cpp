// New quote.
#include "editing/new_quote.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "data/typed_date.h"
#include "editing/edit_quote.h"
#include "editing/field_check.h"
#include "editing/quote_command.h"
#include "editing/quote_sanity.h"

namespace barvane {
namespace {

constexpr DaySeconds kSecondsPerDay = 24 * 60 * 60;

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
    const QuoteGridRow& newest = rows.front();
    const DateStyle style = state.m_quotes.style;
    // A series with times: the bar after the newest, one step of its bars later that day.
    if (style.times && rows.size() > 1 && rows[1].day == newest.day && rows[1].time < newest.time &&
        2 * newest.time - rows[1].time < kSecondsPerDay) {
      texts[0] = MomentText(newest.day, 2 * newest.time - rows[1].time, style);
    } else {
      DayNumber d = newest.day;
      do {
        ++d;
      } while (Weekday(d) == 0 || Weekday(d) == 6);
      // The next day starts at the time the newest day started.
      const auto first = std::find_if(rows.begin(), rows.end(), [&](const QuoteGridRow& row) { return row.day != newest.day; });
      texts[0] = MomentText(d, std::prev(first)->time, style);
    }
  }
  for (std::size_t i = 0; i < 6; ++i) texts[i + 1] = state.m_quotes.held[i] ? "" : "N/A";
  return texts;
}

std::string RefuseNewQuoteMoment(const ViewState& state, const std::string& text) {
  const DateStyle style = state.m_quotes.style;
  if (std::string refusal = ShortYearRefusal(text, style); !refusal.empty()) return refusal;
  QuoteMoment moment;
  // A series without times takes a date alone; one with times the bar's time too.
  if (!ReadMomentText(text, &moment) || moment.time.has_value() != style.times) {
    return style.times ? kNewQuoteMomentText : kInvalidDataText;
  }
  for (const QuoteGridRow& row : state.m_quotes.rows) {
    if (row.day == moment.day && (!style.times || row.time == *moment.time)) {
      return "Date " + MomentText(moment.day, moment.time.value_or(0), style) + " already exists.";
    }
  }
  return {};
}

std::string RefuseNewQuote(const ViewState& state, const NewQuoteTexts& texts) {
  if (std::string refusal = RefuseNewQuoteMoment(state, texts[0]); !refusal.empty()) return refusal;
  for (std::size_t i = 1; i < texts.size(); ++i) {
    if (!state.m_quotes.held[i - 1]) continue;
    if (texts[i].size() > static_cast<std::size_t>(kEditValueLimit)) return TooLongText(kEditValueLimit);
    float value = 0;
    if (!ReadFieldNumber(texts[i], &value)) return kInvalidDataText;
  }
  return {};
}

std::string NewQuoteQuestion(const ViewState& state, const NewQuoteTexts& texts) {
  QuoteMoment moment;
  (void)ReadMomentText(texts[0], &moment);
  const auto before = [&](const QuoteGridRow& row) {
    return row.day < moment.day || (row.day == moment.day && row.time < moment.time.value_or(0));
  };
  const std::array<float, 6> values = ValuesOf(state, texts);
  BarPrices bar;
  for (std::size_t p = 0; p < 4; ++p) {
    bar.price[p] = values[p];
    bar.typed[p] = Held(values[p]);
  }
  // Rows run newest first: the neighbours are the last row after the bar and the first before.
  std::vector<float> closes;
  const auto& rows = state.m_quotes.rows;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (before(rows[r])) {
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
  QuoteMoment moment;
  if (!ReadMomentText(texts[0], &moment)) {
    state.ui().ShowMessage(kNewQuoteFailedText);
    return false;
  }
  change.fromDay = change.toDay = moment.day;
  change.time = moment.time;
  change.op = QuoteOp::kInsertNew;
  const std::string named = MomentText(moment.day, moment.time.value_or(0), state.m_quotes.style);
  const std::string done = "Quote of " + named + " added to " + state.m_seriesSymbol;
  if (!FinishQuoteCommand(state, change, {kNewQuoteFailedText, "New", {}, 0, false, done})) return false;
  state.SelectQuoteRow(std::max(state.QuoteRowOf(named), 0));
  return true;
}

}  // namespace barvane
