// Parsing and writing the settings file.
#include "app/settings_file.h"

#include "app/list_order.h"

namespace barvane {
namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\0': out += "\\0"; break;
      case '=': out += "\\="; break;
      case '[': out += "\\["; break;
      case ']': out += "\\]"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == '0' ? '\0' : c;
  }
  return out;
}

// The position of the first "=" that no backslash escapes.
std::size_t UnescapedEquals(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
    } else if (line[i] == '=') {
      return i;
    }
  }
  return std::string_view::npos;
}

bool SameName(const std::string& a, const std::string& b) { return AsciiUpper(a) == AsciiUpper(b); }

}  // namespace

SettingsData SettingsData::Parse(std::string_view text) {
  SettingsData data;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      data.sections_.push_back({Unescape(line.substr(1, line.size() - 2)), {}});
      continue;
    }
    const std::size_t equals = UnescapedEquals(line);
    if (equals == std::string_view::npos || data.sections_.empty()) continue;
    data.sections_.back().values.push_back(
        {Unescape(line.substr(0, equals)), Unescape(line.substr(equals + 1))});
  }
  return data;
}

std::string SettingsData::Serialize() const {
  std::string text;
  for (const SettingsSection& section : sections_) {
    text += '[';
    text += Escape(section.name);
    text += "]\n";
    for (const SettingsValue& value : section.values) {
      text += Escape(value.name);
      text += '=';
      text += Escape(value.text);
      text += '\n';
    }
  }
  return text;
}

std::optional<std::string> SettingsData::Get(const std::string& section, const std::string& name) const {
  for (const SettingsSection& s : sections_) {
    if (!SameName(s.name, section)) continue;
    for (const SettingsValue& v : s.values) {
      if (SameName(v.name, name)) return v.text;
    }
  }
  return std::nullopt;
}

void SettingsData::Set(const std::string& section, const std::string& name, const std::string& text) {
  SettingsSection* target = nullptr;
  for (SettingsSection& s : sections_) {
    if (SameName(s.name, section)) {
      target = &s;
      break;
    }
  }
  if (!target) target = &sections_.emplace_back(SettingsSection{section, {}});
  for (SettingsValue& v : target->values) {
    if (SameName(v.name, name)) {
      v.text = text;
      return;
    }
  }
  target->values.push_back({name, text});
}

}  // namespace barvane
