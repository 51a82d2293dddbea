// Split.
#include "editing/split.h"

#include "data/typed_date.h"
#include "editing/field_check.h"
#include "editing/quote_command.h"

namespace barvane {

SplitTexts ProposeSplit(const ViewState& state) { return {state.QuoteDayText(state.m_selQuoteRow), "1", "1"}; }

std::string RefuseSplit(const ViewState& state, const SplitTexts& texts) {
  if (texts.date.size() > kDateFieldLimit) return TooLongText(kDateFieldLimit);
  if (std::string refusal = ShortYearRefusal(texts.date, state.m_quotes.style); !refusal.empty()) return refusal;
  for (const std::string* ratio : {&texts.newShares, &texts.oldShares}) {
    if (ratio->size() > static_cast<std::size_t>(kSplitRatioLimit)) return TooLongText(kSplitRatioLimit);
  }
  return FieldsValid({texts.date}, {texts.newShares, texts.oldShares}, state.m_firstDateText, state.m_lastDateText)
             ? std::string()
             : kInvalidDataText;
}

bool ApplySplit(ViewState& state, const SplitTexts& texts) {
  float n = 1, o = 1;
  if (!ReadFieldNumber(texts.newShares, &n) || !ReadFieldNumber(texts.oldShares, &o)) return false;
  QuoteChange change;
  const float prices = o / n, counts = n / o;
  change.value = {prices, prices, prices, prices, counts, counts};
  change.fromDay = kNoDate;  // every quote before the split, those of 1960 and earlier too
  change.toDay = DayOfText(texts.date) - 1;
  change.op = QuoteOp::kMultiply;
  return FinishQuoteCommand(
      state, change,
      {kSplitFailedText,
       "Split",
       {{"Date", texts.date}, {"New", texts.newShares}, {"Old", texts.oldShares}},
       kKeepPlace,
       false,
       "Split " + texts.newShares + " for " + texts.oldShares + " applied to " +
           state.m_seriesSymbol + " before " + texts.date});
}

}  // namespace barvane
