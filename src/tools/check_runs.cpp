// The check's problems of consecutive quotes gathered into runs.
#include "tools/check_runs.h"

#include <algorithm>
#include <map>

#include "data/printed.h"

namespace barvane {
namespace {

enum class Kind { kNone, kNegative, kZero, kHighBelowLow, kAboveHigh, kBelowLow, kOutOfOrder };

// The kind of a problem, from the text the series check gives it (without a bar's " at TIME").
Kind KindOf(std::string text, bool timed) {
  if (const auto at = text.rfind(" at "); timed && at != std::string::npos) text.resize(at);
  if (text.ends_with(" is negative")) return Kind::kNegative;
  if (text.ends_with(" is zero")) return Kind::kZero;
  if (text.starts_with("high ") && text.find(" below low ") != std::string::npos)
    return Kind::kHighBelowLow;
  if (text.starts_with("open ") || text.starts_with("close ")) {
    if (text.find(" above high ") != std::string::npos) return Kind::kAboveHigh;
    if (text.find(" below low ") != std::string::npos) return Kind::kBelowLow;
  }
  if (text.starts_with("out of date order after ")) return Kind::kOutOfOrder;
  return Kind::kNone;
}

const char* KindText(Kind kind) {
  switch (kind) {
    case Kind::kNegative:
      return "negative prices";
    case Kind::kZero:
      return "zero prices";
    case Kind::kHighBelowLow:
      return "high below low";
    case Kind::kAboveHigh:
      return "open or close above high";
    case Kind::kBelowLow:
      return "open or close below low";
    default:
      return "out of date order";
  }
}

struct Run {
  Kind kind = Kind::kNone;
  std::size_t first = 0, last = 0;  // positions among the series' stamps
  bool mendable = true;
  bool told = false;
};

}  // namespace

std::vector<SeriesProblem> GroupRuns(const SeriesVerdict& verdict) {
  const std::vector<SeriesProblem>& problems = verdict.problems;
  std::vector<QuoteStamp> stamps = verdict.quoteStamps;
  std::sort(stamps.begin(), stamps.end());
  stamps.erase(std::unique(stamps.begin(), stamps.end()), stamps.end());
  std::erase_if(stamps, [](const QuoteStamp& s) { return s.first == kNoDate; });
  // Each problem's kind and the position of its quote among the stamps, when it can be in a run.
  std::vector<std::pair<Kind, std::size_t>> at(problems.size(), {Kind::kNone, 0});
  std::map<Kind, std::vector<std::size_t>> positions;
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const Kind kind = KindOf(problems[i].text, verdict.timed);
    const QuoteStamp stamp{problems[i].day, problems[i].time};
    const auto found = std::lower_bound(stamps.begin(), stamps.end(), stamp);
    if (kind == Kind::kNone || problems[i].day == kNoDate || found == stamps.end() || *found != stamp) continue;
    at[i] = {kind, static_cast<std::size_t>(found - stamps.begin())};
    positions[kind].push_back(at[i].second);
  }
  std::vector<Run> runs;
  std::map<std::pair<Kind, std::size_t>, std::size_t> runOf;  // (kind, position): its run
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
    const auto run = runOf.find(at[i]);
    if (at[i].first != Kind::kNone && run != runOf.end())
      runs[run->second].mendable &= problems[i].mendable;
  }
  std::vector<SeriesProblem> grouped;
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const auto found = at[i].first == Kind::kNone ? runOf.end() : runOf.find(at[i]);
    if (found == runOf.end()) {
      grouped.push_back(problems[i]);
      continue;
    }
    Run& run = runs[found->second];
    if (run.told) continue;
    run.told = true;
    const QuoteStamp& last = stamps[run.last];
    std::string text = std::string(KindText(run.kind)) + " on " + GroupedNumber(run.last - run.first + 1) +
                       " quotes to " + DateText(last.first, verdict.fourDigitYears);
    if (verdict.timed) text += " " + TimeText(last.second);
    grouped.push_back({stamps[run.first].first, text, run.mendable, stamps[run.first].second});
  }
  return grouped;
}

}  // namespace barvane
