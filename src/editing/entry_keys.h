// The key filters of the entry fields: the number field takes digits, the decimal separator and
// control keys; the date field is a mask MM/DD/YY (or MM/DD/YYYY) into which typed digits go
// part by part, and into which a whole date may be pasted.
#pragma once

#include <string>
#include <string_view>

namespace barvane {

// What a typed character puts into a number field: itself for a digit, "." or a control key,
// "." for a decimal comma (a comma is never a thousands separator: "1,14" is 1.14), and 0 for
// anything else, which is dropped with a beep. A field of a quote's values takes a minus sign
// too: back-adjusted prices may be negative.
char NumberFieldChar(char c, bool signAllowed = false);
// What a pasted text puts into a number field: the text without the blanks and line ends
// around it, each character as NumberFieldChar gives it. False, for a beep and no change, when
// a character is refused or the text then holds more than one "." ("1,000.50": no separator
// means thousands).
bool NumberFieldPaste(std::string_view text, bool signAllowed, std::string* pasted);

struct FieldSelection {
  int start = 0;
  int end = 0;
};

enum class DateKey {
  kWritten,   // the digit went into the mask; the text and selection changed
  kRefused,   // a digit at a place the mask has none: the part under the caret is selected; beep
  kPassedOn,  // Tab: the control handles it
  kDropped,   // any other character: beep
};

// The date field's buffer of eight characters (ten with a four-digit year) and what a typed
// character does to it.
class DateMask {
 public:
  // The text the field opens with; a text of ten characters takes a four-digit year
  // (MM/DD/YYYY), a shorter one is completed from "00/00/00".
  void Seed(const std::string& text);
  const std::string& text() const { return buffer_; }

  // Applies a typed character at `*selection`, which it updates.
  DateKey OnChar(char c, FieldSelection* selection);

  // A pasted date, MM/DD/YY, MM/DD/YYYY or YYYY-MM-DD with blanks or line ends around it,
  // written whole into the buffer in the mask's own layout. Returns the empty text when it was;
  // otherwise why not, the buffer unchanged: a two-digit year in a four-digit mask gets
  // ShortYearRefusal's text; a text that names no day, or a day outside 1961 to 2060 in a
  // two-digit mask, gets "Paste a date as MM/DD/YYYY or YYYY-MM-DD." (a two-digit mask: "Paste
  // a date from 1961 to 2060 as MM/DD/YY, MM/DD/YYYY or YYYY-MM-DD.").
  std::string Paste(std::string_view text);

 private:
  std::string buffer_ = "00/00/00";
};

}  // namespace barvane
