// The check's problems of one series gathered by kind.
#include "tools/check_runs.h"

#include <map>
#include <set>

#include "data/printed.h"

namespace barvane {
namespace {

struct Kind {
  const char* name;
  const char* unit;  // what the count counts
};

// The text of a problem without a bar's " at HH:MM:SS".
std::string WithoutTime(std::string text) {
  const auto at = text.rfind(" at ");
  if (at != std::string::npos && text.size() - at == 12 && text[at + 6] == ':') text.resize(at);
  return text;
}

const Kind* KindOf(const std::string& timedText) {
  static const Kind kNegative{"negative prices", "quotes"}, kZero{"zero prices", "quotes"},
      kHighBelowLow{"high below low", "quotes"}, kAboveHigh{"open or close above high", "quotes"},
      kBelowLow{"open or close below low", "quotes"}, kOutOfOrder{"out of date order", "quotes"},
      kNotANumber{"values that are not numbers", "quotes"}, kRepeated{"repeated days", "days"};
  const std::string text = WithoutTime(timedText);
  if (text.ends_with(" is negative")) return &kNegative;
  if (text.ends_with(" is zero")) return &kZero;
  if (text.ends_with(" is not a number")) return &kNotANumber;
  if (text.starts_with("high ") && text.find(" below low ") != std::string::npos) return &kHighBelowLow;
  if (text.starts_with("open ") || text.starts_with("close ")) {
    if (text.find(" above high ") != std::string::npos) return &kAboveHigh;
    if (text.find(" below low ") != std::string::npos) return &kBelowLow;
  }
  if (text.starts_with("out of date order after ")) return &kOutOfOrder;
  if (text.find(" quotes of ") != std::string::npos &&
      (text.ends_with(" identical copies") || text.find(" identical quotes of ") != std::string::npos ||
       text.find(" different quotes of ") != std::string::npos)) {
    return &kRepeated;
  }
  return nullptr;
}

std::string StampText(const QuoteStamp& stamp, const SeriesVerdict& verdict) {
  std::string text = DateText(stamp.first, verdict.fourDigitYears);
  if (verdict.timed) text += " " + TimeText(stamp.second);
  return text;
}

}  // namespace

std::string ProblemKind(const std::string& text) {
  const Kind* kind = KindOf(text);
  return kind ? kind->name : "";
}

std::vector<SeriesProblem> GroupByKind(const SeriesVerdict& verdict) {
  const std::vector<SeriesProblem>& problems = verdict.problems;
  std::map<const Kind*, std::set<QuoteStamp>> quotesOf;
  for (const SeriesProblem& p : problems) {
    const Kind* kind = KindOf(p.text);
    if (kind && p.day != kNoDate) quotesOf[kind].insert({p.day, p.time});
  }
  std::vector<SeriesProblem> grouped;
  std::map<const Kind*, std::size_t> lineOf;  // kind: its line in `grouped`
  for (const SeriesProblem& p : problems) {
    const Kind* kind = KindOf(p.text);
    const auto quotes = kind && p.day != kNoDate ? quotesOf.find(kind) : quotesOf.end();
    if (quotes == quotesOf.end() || quotes->second.size() < 2) {
      grouped.push_back(p);
      continue;
    }
    auto [line, first] = lineOf.emplace(kind, grouped.size());
    if (first) {
      const QuoteStamp& from = *quotes->second.begin();
      const QuoteStamp& to = *quotes->second.rbegin();
      grouped.push_back({from.first,
                         std::string(kind->name) + " on " + GroupedNumber(quotes->second.size()) + " " +
                             kind->unit + ", " + StampText(from, verdict) + " to " + StampText(to, verdict),
                         true, from.second});
      grouped.back().quotes = quotes->second.size();
    }
    SeriesProblem& group = grouped[line->second];
    group.mendable = group.mendable && p.mendable;
    group.bars.push_back(p);
  }
  return grouped;
}

}  // namespace barvane
