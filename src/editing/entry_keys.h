// The key filters of the entry fields: the number field takes digits, "." and control keys;
// the date field is a mask MM/DD/YY into which typed digits go part by part.
#pragma once

#include <string>

namespace barvane {

// Whether a typed character reaches a number field (otherwise it is dropped with a beep). A
// field of a quote's values takes a minus sign too: back-adjusted prices may be negative.
bool NumberFieldAccepts(char c, bool signAllowed = false);

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

 private:
  std::string buffer_ = "00/00/00";
};

}  // namespace barvane
