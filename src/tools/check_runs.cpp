// The check's problems of one series gathered by kind, or into runs of consecutive quotes.
#include "tools/check_runs.h"

#include <algorithm>
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

std::vector<SeriesProblem> GroupRuns(const SeriesVerdict& verdict) {
  const std::vector<SeriesProblem>& problems = verdict.problems;
  std::vector<QuoteStamp> stamps = verdict.quoteStamps;
  std::sort(stamps.begin(), stamps.end());
  stamps.erase(std::unique(stamps.begin(), stamps.end()), stamps.end());
  std::erase_if(stamps, [](const QuoteStamp& s) { return s.first == kNoDate; });
  // Each problem's kind and the position of its quote among the stamps, when it can be in a run.
  std::vector<std::pair<const Kind*, std::size_t>> at(problems.size(), {nullptr, 0});
  std::map<const Kind*, std::vector<std::size_t>> positions;
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const Kind* kind = KindOf(problems[i].text);
    const QuoteStamp stamp{problems[i].day, problems[i].time};
    const auto found = std::lower_bound(stamps.begin(), stamps.end(), stamp);
    if (!kind || problems[i].day == kNoDate || found == stamps.end() || *found != stamp) continue;
    at[i] = {kind, static_cast<std::size_t>(found - stamps.begin())};
    positions[kind].push_back(at[i].second);
  }
  struct Run {
    const Kind* kind;
    std::size_t first, last;  // positions among the series' stamps
    bool mendable = true;
    bool told = false;
  };
  std::vector<Run> runs;
  std::map<std::pair<const Kind*, std::size_t>, std::size_t> runOf;  // (kind, position): its run
  for (auto& [kind, list] : positions) {
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    for (std::size_t from = 0; from < list.size();) {
      std::size_t to = from + 1;
      while (to < list.size() && list[to] == list[to - 1] + 1) ++to;
      if (to - from >= 2) {
        for (std::size_t k = from; k < to; ++k) runOf[{kind, list[k]}] = runs.size();
        runs.push_back({kind, list[from], list[to - 1]});
      }
      from = to;
    }
  }
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const auto run = at[i].first ? runOf.find(at[i]) : runOf.end();
    if (run != runOf.end()) runs[run->second].mendable &= problems[i].mendable;
  }
  std::vector<SeriesProblem> grouped;
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const auto found = at[i].first ? runOf.find(at[i]) : runOf.end();
    if (found == runOf.end()) {
      grouped.push_back(problems[i]);
      continue;
    }
    Run& run = runs[found->second];
    if (run.told) continue;
    run.told = true;
    const std::size_t count = run.last - run.first + 1;
    const std::string text = std::string(run.kind->name) + " on " + GroupedNumber(count) + " " + run.kind->unit +
                             " to " + StampText(stamps[run.last], verdict);
    grouped.push_back({stamps[run.first].first, text, run.mendable, stamps[run.first].second, {}, count});
  }
  return grouped;
}

}  // namespace barvane
