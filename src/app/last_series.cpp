// Remembering and restoring the last series.
#include "app/last_series.h"

#include <algorithm>

namespace barvane {

void RememberSeries(ViewState& state) {
  if (!state.m_portfoliosFound || state.m_selPortfolio < 0 ||
      state.m_selPortfolio >= static_cast<int>(state.m_portfolios.size())) {
    return;
  }
  SettingsStore& settings = state.settings();
  settings.WriteString(kLastSeriesSection, "Portfolio",
                       state.m_portfolios[static_cast<std::size_t>(state.m_selPortfolio)]);
  const bool symbol = state.m_selSymbolRow >= 0 &&
                      state.m_selSymbolRow < static_cast<int>(state.m_symbolRows.size());
  settings.WriteString(
      kLastSeriesSection, "Symbol",
      symbol ? state.m_symbolRows[static_cast<std::size_t>(state.m_selSymbolRow)].symbol : "");
}

void RestoreSeries(ViewState& state) {
  if (!state.m_portfoliosFound) return;
  SettingsStore& settings = state.settings();
  const std::string portfolio = settings.ReadString(kLastSeriesSection, "Portfolio", "");
  const auto found = std::find(state.m_portfolios.begin(), state.m_portfolios.end(), portfolio);
  if (portfolio.empty() || found == state.m_portfolios.end()) return;
  const int index = static_cast<int>(found - state.m_portfolios.begin());
  if (index != state.m_selPortfolio) state.SelectPortfolio(index);

  const std::string symbol = settings.ReadString(kLastSeriesSection, "Symbol", "");
  for (std::size_t r = 0; r < state.m_symbolRows.size(); ++r) {
    if (state.m_symbolRows[r].symbol != symbol) continue;
    if (static_cast<int>(r) == state.m_selSymbolRow) return;
    state.SelectSymbolRow(static_cast<int>(r));
    state.FillQuotesGrid(0);
    return;
  }
}

}  // namespace barvane
