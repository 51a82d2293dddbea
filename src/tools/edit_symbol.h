// Edit symbol: a new symbol text and issue name for one record of the current portfolio's
// MASTER file, written through MASTER.NEW with the previous file kept as MASTER.BAK. Quote
// files and file numbers stay as they are.
#pragma once

#include <string>

#include "app/view_state.h"

namespace barvane {

inline constexpr const char* kEditSymbolTitle = "Edit Symbol";
inline constexpr std::size_t kEditSymbolTextLimit = 16;
inline constexpr const char* kEmptySymbolText = "You must enter a symbol";

struct SymbolTexts {
  std::string symbol;
  std::string name;
};

// The texts the dialog opens with: the selected row's symbol, and its name without trailing
// white space. Both empty without rows.
SymbolTexts EditSymbolStartTexts(const ViewState& view);

// Why `texts` (bytes of the portfolio's code page) cannot be stored so that they read back as
// typed, or "" when they can: the symbol must be 1 to 16 bytes, none a blank or a control byte
// (the reader ends a symbol there); the name at most 16 bytes, none a control byte.
std::string SymbolTextsProblem(const SymbolTexts& texts);

// The dialog's OK with `texts` for the symbol of row m_selSymbolRow. Texts with a problem are
// told to the user and change nothing. On success the first record whose stored symbol reads
// as that row's text holds the new name and symbol, each padded with blanks to 16 bytes,
// MASTER.BAK holds the old MASTER, the row's two cells, m_seriesSymbol and m_seriesName hold
// the new texts, and it returns true. On failure tells the user why, leaves the MASTER as it
// was and returns false.
bool EditSymbol(ViewState& view, const SymbolTexts& texts);

}  // namespace barvane
