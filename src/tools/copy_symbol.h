// Copy and Move symbol: the current symbol, with its quote files, joins another portfolio
// under the lowest free file number; a move then takes it out of the portfolio it came from.
// Both portfolios change all or nothing.
#pragma once

#include <string>
#include <vector>

#include "app/view_state.h"

namespace barvane {

inline constexpr int kMostSymbolsInPortfolio = 255;
inline constexpr const char* kMoveSymbolTitle = "Move Symbol";
inline constexpr const char* kCopySymbolTitle = "Copy Symbol";
inline constexpr const char* kPortfolioFullText =
    "The portfolio already has the\nmaximum number of symbols (255).\n"
    "Choose a different or new portfolio.";

// The portfolios the dialog offers: every entry of m_portfolios but the selected one, sorted.
std::vector<std::string> DestinationChoices(const ViewState& view);

// The dialog's OK with `destination` (a portfolio directory) for m_seriesSymbol, upper-cased
// and trimmed, as found from m_portfolioDir. `move` false copies, true moves.
// On success the destination's MASTER ends with the symbol's record under file number m, the
// lowest number from 1 to 255 that no record of it uses and no F<m>.* file of it carries; its
// header numbers are one higher; F<m>.DAT (and F<m>.DOP when the symbol has one) hold the
// source files' bytes. A move also takes the record out of the MASTER of the directory where
// the symbol was found, deletes its F<n>.DAT, F<n>.DOP and F<n>.BAK there, and fills the
// symbol grid again with row 0 selected. Returns true.
// On failure (destination empty, symbol not found, already in the destination, destination
// full, a file that cannot be read or written) tells the user why (nothing for an empty
// destination), leaves every file with its old bytes and returns false.
bool CopySymbol(ViewState& view, const std::string& destination, bool move);

}  // namespace barvane
