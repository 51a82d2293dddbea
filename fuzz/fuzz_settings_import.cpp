// Fuzz target: the first-run INI import and the settings file text. Reading a text written
// from read settings must give the same settings again.
#include <cstdlib>
#include <string_view>

#include "app/ini_import.h"
#include "app/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace barvane;
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  SettingsData data;
  for (const IniPair& pair : ParseIniText(text)) data.Set(pair.section, pair.name, pair.value);
  const std::string written = SettingsData::Parse(text).Serialize();
  if (SettingsData::Parse(written).Serialize() != written) std::abort();
  const std::string imported = data.Serialize();
  if (SettingsData::Parse(imported).Serialize() != imported) std::abort();
  return 0;
}
