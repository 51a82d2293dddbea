// The check of one symbol's files and the mend of what needs no guess.
#include "tools/series_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "data/field_layout.h"
#include "data/mbf.h"
#include "data/quote_series.h"
#include "data/printed.h"

namespace barvane {
namespace {

constexpr std::size_t kLargestRecordNumber = 0xFFFF;
constexpr int kPrices[] = {kOpen, kHigh, kLow, kClose};

const char* PriceName(int quantity) {
  switch (quantity) {
    case kOpen: return "open";
    case kHigh: return "high";
    case kLow: return "low";
    case kVolume: return "volume";
    case kOpenInterest: return "open interest";
    default: return "close";
  }
}

// The header of a quote file: its record number and quote count, 16 bits each.
constexpr std::size_t kQuoteHeaderBytes = 4;

// Whether the file reads as whole records of `length` bytes, as many as its header counts.
bool FileFits(const Bytes& bytes, std::size_t length) {
  return length > 0 && bytes.size() >= std::max(length, kQuoteHeaderBytes) && bytes.size() % length == 0 &&
         static_cast<std::size_t>(QuotesAnnounced(bytes.data())) == bytes.size() / length - 1;
}

struct Quote {
  std::size_t record = 0;  // 0-based quote number in the file
  DayNumber day = 0;
  DaySeconds seconds = 0;
  bool before(const Quote& other) const {
    return day != other.day ? day < other.day : seconds < other.seconds;
  }
  bool sameMoment(const Quote& other) const { return day == other.day && seconds == other.seconds; }
};

class SeriesChecker {
 public:
  SeriesChecker(const SeriesFiles& files, SeriesVerdict* verdict)
      : files_(files), verdict_(*verdict) {}

  void Run() {
    if (!files_.quotes) return Problem(kNoDate, "quote file " + files_.quoteName + " is missing");
    if (!CheckRecordShape()) return;
    const Bytes& bytes = *files_.quotes;
    if (bytes.size() < std::max(length_, kQuoteHeaderBytes)) {
      return Problem(kNoDate, "quote file " + files_.quoteName + " is shorter than its header record");
    }
    const std::size_t present = bytes.size() / length_ - 1;
    std::uint8_t firstQuote[24] = {};
    if (present > 0) std::memcpy(firstQuote, bytes.data() + length_, std::min<std::size_t>(length_, 24));
    // The layout the grid reads the series with: its layout file, its index field set, TIME of
    // an intraday series.
    if (LayoutFromFiles(files_.dopText, present > 0 ? firstQuote : nullptr, files_.record,
                        static_cast<int>(length_), fields_, &layout_) != kSuccess) {
      return Problem(kNoDate, files_.dopText ? "its field layout file gives no usable layout"
                                       : Printed("record length %zu has no known field layout", length_));
    }
    CheckHeader(present);
    ReadQuotes(present);
    CheckPrices();
    CheckOrderAndDays();
    CheckIndexDates();
    if (rewriteQuotes_) BuildMendedQuotes();
  }

 private:
  void Problem(DayNumber day, std::string text, bool mendable = false) {
    verdict_.problems.push_back({day, std::move(text), mendable});
  }
  // A problem of one bar, its time told for a series with times so that the bar can be found.
  void ProblemOf(const Quote& quote, std::string text, bool mendable = false) {
    verdict_.problems.push_back({quote.day, std::move(text) + AtTime(quote), mendable, quote.seconds});
  }
  void Mend(DayNumber day, std::string text) {
    const SeriesMend note{day, std::move(text)};
    if (std::find(verdict_.mends.begin(), verdict_.mends.end(), note) == verdict_.mends.end()) {
      verdict_.mends.push_back(note);
    }
  }

  // A record length that is not four bytes a field contradicts the record; when the file bears
  // out one of the two readings alone, that one is taken. False when no layout can follow.
  bool CheckRecordShape() {
    const std::size_t length = static_cast<std::size_t>(files_.record.recordLength());
    const int fields = files_.record.fieldCount();
    length_ = length;
    fields_ = fields;
    if (length == 4 * static_cast<std::size_t>(fields) && fields > 0) return true;
    const std::string text = Printed("record length %zu disagrees with its %d fields", length, fields);
    const Bytes& bytes = *files_.quotes;
    const bool lengthFits = FileFits(bytes, length) && length % 4 == 0 && length / 4 <= 0xFF;
    const bool fieldsFit = FileFits(bytes, 4 * static_cast<std::size_t>(fields)) && 4 * fields <= 0xFF;
    if (fieldsFit && !lengthFits) {
      length_ = 4 * static_cast<std::size_t>(fields);
      verdict_.mendedRecord.recordLength = static_cast<std::uint8_t>(length_);
      Problem(kNoDate, text, true);
      Mend(kNoDate, Printed("set the record length to %zu", length_));
      return true;
    }
    if (lengthFits && !fieldsFit) {
      fields_ = static_cast<int>(length / 4);
      verdict_.mendedRecord.fieldCount = static_cast<std::uint8_t>(fields_);
      Problem(kNoDate, text, true);
      Mend(kNoDate, Printed("set the number of fields to %d", fields_));
      return true;
    }
    Problem(kNoDate, text);
    // A record longer than its fields still reads; a shorter one cannot.
    return fields > 0 && length > 4 * static_cast<std::size_t>(fields);
  }

  void CheckHeader(std::size_t present) {
    const Bytes& bytes = *files_.quotes;
    const auto announced = static_cast<std::size_t>(QuotesAnnounced(bytes.data()));
    if (announced != present || QuoteHeaderRecordNumber(bytes.data()) == 0) {
      const bool mendable = present + 1 <= kLargestRecordNumber;
      Problem(kNoDate, Printed("header counts %zu quotes, the file holds %zu", announced, present), mendable);
      if (mendable) {
        Mend(kNoDate, Printed("set the header count to %zu", present));
        rewriteQuotes_ = true;
      }
    }
    if (const std::size_t rest = bytes.size() % length_; rest != 0) {
      Problem(kNoDate, Printed("the file ends in %zu bytes that make no whole quote", rest), true);
      Mend(kNoDate, Printed("removed the %zu bytes after the last whole quote", rest));
      rewriteQuotes_ = true;
    }
  }

  const std::uint8_t* RecordBytes(std::size_t q) const {
    return files_.quotes->data() + length_ * (q + 1);
  }
  float Field(std::size_t q, int quantity) const {
    const int p = layout_.position[static_cast<std::size_t>(quantity)];
    return ReadMbf(RecordBytes(q) + 4 * (p - 1));
  }

  void ReadQuotes(std::size_t present) {
    quotes_.reserve(present);
    verdict_.timed = layout_.holds(kTime);
    for (std::size_t q = 0; q < present; ++q) {
      Quote quote{q, DateFloatToDay(Field(q, kDate)),
                  layout_.holds(kTime) ? TimeFloatToSeconds(Field(q, kTime)) : DaySeconds{0}};
      if (quote.day == kNoDate) {
        Problem(kNoDate, Printed("quote %zu of the file has no valid date", q + 1));
        allDated_ = false;
      }
      if (!ShowsTwoDigitYear(quote.day)) verdict_.fourDigitYears = true;
      quotes_.push_back(quote);
    }
  }

  // The day of a quote, with its time for a series with times.
  std::string MomentOf(const Quote& quote) const {
    return layout_.holds(kTime) ? DayText(quote.day) + ' ' + TimeText(quote.seconds) : DayText(quote.day);
  }

  // A day as the grid shows the series' days.
  std::string DayText(DayNumber day) const { return barvane::DateText(day, verdict_.fourDigitYears); }

  // " at HH:MM:SS" of a bar of a series with times, so that the bar can be found.
  std::string AtTime(const Quote& quote) const {
    return layout_.holds(kTime) ? " at " + TimeText(quote.seconds) : std::string();
  }

  void CheckPrices() {
    for (const Quote& quote : quotes_) {
      float value[kQuantityCount] = {};
      bool usable[kQuantityCount] = {};
      // A value no number can be (an exponent the format does not use) is no price at all.
      for (int p : {kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest}) {
        if (!layout_.holds(p) || std::isfinite(Field(quote.record, p))) continue;
        ProblemOf(quote, Printed("%s is not a number", PriceName(p)));
      }
      for (int p : kPrices) {
        if (!layout_.holds(p)) continue;
        value[p] = Field(quote.record, p);
        if (!std::isfinite(value[p])) continue;
        usable[p] = value[p] > 0;
        if (value[p] == 0) {
          ProblemOf(quote, Printed("%s is zero", PriceName(p)));
        } else if (value[p] < 0) {
          ProblemOf(quote, Printed("%s %s is negative", PriceName(p), CheckPriceText(value[p]).c_str()));
        }
      }
      if (usable[kHigh] && usable[kLow] && value[kHigh] < value[kLow]) {
        ProblemOf(quote, "high " + CheckPriceText(value[kHigh]) + " below low " + CheckPriceText(value[kLow]));
        continue;  // open and close cannot lie inside a range that is upside down
      }
      for (int p : {kOpen, kClose}) {
        if (!usable[p]) continue;
        if (usable[kHigh] && value[p] > value[kHigh]) {
          ProblemOf(quote, Printed("%s %s above high %s", PriceName(p), CheckPriceText(value[p]).c_str(),
                                   CheckPriceText(value[kHigh]).c_str()));
        } else if (usable[kLow] && value[p] < value[kLow]) {
          ProblemOf(quote, Printed("%s %s below low %s", PriceName(p), CheckPriceText(value[p]).c_str(),
                                   CheckPriceText(value[kLow]).c_str()));
        }
      }
    }
  }

  std::string MomentText(const Quote& quote) const {
    return layout_.holds(kTime) ? TimeText(quote.seconds) : "this day";
  }

  void CheckOrderAndDays() {
    const Quote* previous = nullptr;
    for (const Quote& quote : quotes_) {
      if (quote.day == kNoDate) continue;
      if (previous && quote.before(*previous)) {
        outOfOrder_ = true;
        ProblemOf(quote, "out of date order after " + MomentOf(*previous), allDated_);
        if (allDated_) {
          Mend(kNoDate, "sorted the quotes by date");
          rewriteQuotes_ = true;
        }
      }
      previous = &quote;
    }

    order_.resize(quotes_.size());
    std::iota(order_.begin(), order_.end(), std::size_t{0});
    // A quote without a date could stand between two of one day.
    if (outOfOrder_ || !allDated_) {
      std::stable_sort(order_.begin(), order_.end(),
                       [&](std::size_t a, std::size_t b) { return quotes_[a].before(quotes_[b]); });
    }
    keep_.assign(quotes_.size(), true);
    for (std::size_t i = 0; i < order_.size();) {
      std::size_t end = i + 1;
      while (end < order_.size() && quotes_[order_[end]].sameMoment(quotes_[order_[i]])) ++end;
      if (quotes_[order_[i]].day != kNoDate && end - i > 1) CheckOneMoment(i, end);
      i = end;
    }
  }

  // Quotes order_[from .. to) share their day and time.
  void CheckOneMoment(std::size_t from, std::size_t to) {
    const Quote& first = quotes_[order_[from]];
    std::size_t copies = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
      for (std::size_t j = from; j < i; ++j) {
        if (keep_[order_[j]] &&
            std::memcmp(RecordBytes(order_[i]), RecordBytes(order_[j]), length_) == 0) {
          keep_[order_[i]] = false;
          ++copies;
          break;
        }
      }
    }
    const std::size_t count = to - from;
    const std::string moment = MomentText(first);
    const bool mendable = copies > 0 && allDated_;
    if (copies + 1 == count) {
      Problem(first.day, Printed("%zu identical quotes of %s", count, moment.c_str()), mendable);
    } else if (copies == 0) {
      Problem(first.day, Printed("%zu different quotes of %s", count, moment.c_str()));
    } else {
      Problem(first.day, Printed("%zu quotes of %s, %zu of them identical copies", count,
                                 moment.c_str(), copies));
    }
    if (mendable) {
      Mend(first.day, Printed(copies == 1 ? "removed %zu identical copy of a quote of %s"
                                          : "removed %zu identical copies of a quote of %s",
                              copies, moment.c_str()));
      rewriteQuotes_ = true;
    }
  }

  void CheckIndexDates() {
    DayNumber first = kNoDate, last = kNoDate;
    for (const Quote& quote : quotes_) {
      if (quote.day == kNoDate) continue;
      if (first == kNoDate || quote.day < first) first = quote.day;
      if (quote.day > last) last = quote.day;
    }
    if (first == kNoDate) return;
    CheckIndexDate(kMasterFirstDate, "first", first);
    CheckIndexDate(kMasterLastDate, "last", last);
  }

  void CheckIndexDate(std::size_t offset, const char* which, DayNumber quoteDay) {
    const DayNumber indexDay = DateFloatToDay(ReadMbf(files_.record.bytes.data() + offset));
    if (indexDay == quoteDay) return;
    const std::string says = indexDay == kNoDate ? "the index gives no valid " + std::string(which) + " date"
                                             : "the index says the " + std::string(which) + " quote is " + DayText(indexDay);
    Problem(quoteDay, says + ", the file's is " + DayText(quoteDay), allDated_);
    if (!allDated_) return;
    (offset == kMasterFirstDate ? verdict_.mendedRecord.firstDate : verdict_.mendedRecord.lastDate) =
        DayToMbfDate(quoteDay);
    Mend(quoteDay, "set the index " + std::string(which) + " date to " + DayText(quoteDay));
  }

  void BuildMendedQuotes() {
    const Bytes& bytes = *files_.quotes;
    Bytes out(bytes.begin(), bytes.begin() + static_cast<long>(length_));
    std::size_t written = 0;
    // Without a date for every quote neither the order nor the copies can be judged.
    for (std::size_t i = 0; i < quotes_.size(); ++i) {
      const std::size_t q = allDated_ ? order_[i] : i;
      if (allDated_ && !keep_[q]) continue;
      out.insert(out.end(), RecordBytes(q), RecordBytes(q) + length_);
      ++written;
    }
    const auto r = static_cast<std::uint16_t>(written + 1);
    out[2] = static_cast<std::uint8_t>(r & 0xFF);
    out[3] = static_cast<std::uint8_t>(r >> 8);
    verdict_.mendedQuotes = std::move(out);
  }

  const SeriesFiles& files_;
  SeriesVerdict& verdict_;
  std::size_t length_ = 0;
  int fields_ = 0;
  FieldLayout layout_;
  std::vector<Quote> quotes_;
  std::vector<std::size_t> order_;  // quote numbers by date and time, ties in file order
  std::vector<bool> keep_;          // false for an identical copy the mend leaves out
  bool allDated_ = true;
  bool outOfOrder_ = false;
  bool rewriteQuotes_ = false;
};

}  // namespace

std::string CheckPriceText(float value) {
  char text[64];
  for (int decimals = 2; decimals <= 7; ++decimals) {
    std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}

SeriesVerdict CheckSeries(const SeriesFiles& files) {
  SeriesVerdict verdict;
  SeriesChecker(files, &verdict).Run();
  return verdict;
}

}  // namespace barvane
