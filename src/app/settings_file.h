// The text form of the settings store: "[section]" lines and "name=value" lines in which
// backslash escapes keep any text exact (line ends, "=", "[", "]", zero bytes).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barvane {

struct SettingsValue {
  std::string name;
  std::string text;
};
struct SettingsSection {
  std::string name;
  std::vector<SettingsValue> values;
};

// Sections and value names compare ignoring ASCII letter case, as registry keys do.
class SettingsData {
 public:
  static SettingsData Parse(std::string_view text);
  std::string Serialize() const;

  std::optional<std::string> Get(const std::string& section, const std::string& name) const;
  void Set(const std::string& section, const std::string& name, const std::string& text);

 private:
  std::vector<SettingsSection> sections_;
};

}  // namespace barvane
