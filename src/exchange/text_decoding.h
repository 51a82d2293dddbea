// TextDecoding: the bytes of a downloaded quote file as UTF-8 text. UTF-8 and UTF-16 are told
// by their byte-order mark or by the bytes themselves; other bytes go through a code page,
// chosen by the user or, where they fit one of the common legacy pages, proposed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace barvane {

inline constexpr const char* kUtf8Name = "UTF-8";

struct DecodedText {
  std::string utf8;
  std::string encoding;   // as ImportEncodingNames() spells it
  bool proposed = false;  // the bytes are no UTF-8 and fit this legacy page
};

// The encodings a text may be read in, in the order a menu lists them.
const std::vector<std::string>& ImportEncodingNames();

// `name` as ImportEncodingNames() spells it (letter case, "-" and "_" ignored; "sjis" and
// "cp932" are Shift-JIS, "cp936" GBK); empty when it is none of them.
std::string ImportEncodingNamed(std::string_view name);

// Reads `bytes` in `encoding` (one of ImportEncodingNames(); empty: decided from the bytes).
// A byte-order mark decides before anything else and is dropped. On failure `*error` says why
// and what to do.
[[nodiscard]] bool DecodeImportText(std::string_view bytes, const std::string& encoding,
                                    DecodedText* text, std::string* error);

}  // namespace barvane
