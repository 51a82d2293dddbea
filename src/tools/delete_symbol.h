// Delete symbol: the selected symbol's record leaves the current portfolio's MASTER file and
// its quote files are deleted, all or nothing.
#pragma once

#include <string>

#include "app/view_state.h"

namespace barvane {

inline constexpr const char* kDeleteSymbolTitle = "Delete Symbol";
inline constexpr const char* kDeleteSymbolGroupText = "Selected Symbol to Delete:";
inline constexpr const char* kDeleteSymbolQuestion =
    "Are you sure you want to delete the Symbol shown above? ";

// The symbol the confirmation shows: column 0 of the selected symbol row ("" without rows).
std::string SymbolToDelete(const ViewState& view);

// The confirmed deletion of the symbol of row m_selSymbolRow. On success the MASTER at
// m_masterPath lacks the first record whose stored symbol reads as that row's text, both
// header numbers are one lower, F<n>.DAT, F<n>.DOP and F<n>.BAK of that record are gone from
// m_portfolioDir (kept when another record still uses number n), the symbol grid is filled
// again with row 0 selected, and it returns true. On failure tells the user why, leaves every
// file with its old bytes and returns false.
bool DeleteSymbol(ViewState& view);

}  // namespace barvane
