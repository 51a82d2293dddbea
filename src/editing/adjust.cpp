// Adjust.
#include "editing/adjust.h"

#include "data/typed_date.h"
#include "editing/field_check.h"
#include "editing/quote_command.h"

namespace barvane {

AdjustTexts ProposeAdjust(const ViewState& state) { return {state.m_firstDateText, state.m_lastDateText, "1", "1", "1"}; }

std::string RefuseAdjust(const ViewState& state, const AdjustTexts& texts) {
  for (const std::string* text : {&texts.from, &texts.to}) {
    if (text->size() > static_cast<std::size_t>(kDateFieldLimit)) return TooLongText(kDateFieldLimit);
    if (std::string refusal = ShortYearRefusal(*text, state.m_quotes.style); !refusal.empty()) return refusal;
  }
  for (const std::string* text : {&texts.price, &texts.volume, &texts.openInterest}) {
    if (text->size() > static_cast<std::size_t>(kAdjustFieldLimit)) return TooLongText(kAdjustFieldLimit);
  }
  return FieldsValid({texts.from, texts.to}, {texts.price, texts.openInterest, texts.volume},
                     state.m_firstDateText, state.m_lastDateText)
             ? std::string()
             : kInvalidDataText;
}

bool ApplyAdjust(ViewState& state, const AdjustTexts& texts) {
  float price = 1, volume = 1, openInterest = 1;
  if (!ReadFieldNumber(texts.volume, &volume) || !ReadFieldNumber(texts.price, &price) ||
      !ReadFieldNumber(texts.openInterest, &openInterest)) {
    return false;
  }
  QuoteChange change;
  change.value = {price, price, price, price, volume, openInterest};
  change.fromDay = DayOfText(texts.from);
  change.toDay = DayOfText(texts.to);
  change.op = QuoteOp::kMultiply;
  return FinishQuoteCommand(state, change,
                            {kAdjustFailedText,
                             "Adjust",
                             {{"Date1", texts.from},
                              {"Date2", texts.to},
                              {"PriceMult", texts.price},
                              {"VolMult", texts.volume},
                              {"OIMult", texts.openInterest}},
                             kKeepPlace,
                             false,
                             "Prices x" + texts.price + ", volume x" + texts.volume +
                                 " and open interest x" + texts.openInterest + " applied to " +
                                 state.m_seriesSymbol + " from " + texts.from + " to " + texts.to});
}

}  // namespace barvane
