#include "common/core/settings_file.h"

#include <cstring>

namespace koral {
namespace {

constexpr std::string_view kSection = "Settings";
constexpr size_t kShownLimit = 24;
// Ten significant digits hold every range's bounds and still fit an int64 with room to spare.
constexpr size_t kSignificantDigitsLimit = 10;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A text as a message may show it: bytes outside printable ASCII as \xNN, a long text cut short
// with its length said.
std::string Shown(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (size_t i = 0; i < text.size() && i < kShownLimit; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      shown += static_cast<char>(c);
    } else {
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 0xF];
    }
  }
  if (text.size() > kShownLimit) shown += "... (" + std::to_string(text.size()) + " characters)";
  return shown;
}

std::string Quoted(std::string_view text) { return "\"" + Shown(text) + "\""; }

std::string Range(const SetupIniKey& key) {
  return std::to_string(key.Minimum) + ".." + std::to_string(key.Maximum);
}

int KeyIndex(std::string_view name) {
  for (size_t i = 0; i < kSetupIniKeyCount; ++i)
    if (SameText(name, kSetupIniKeys[i].Name)) return static_cast<int>(i);
  return -1;
}

// The value as the profile reading hands it over: blanks dropped, then one pair of matching
// quotes.
std::string_view ReadValue(std::string_view text) {
  text = Trimmed(text);
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
    text = text.substr(1, text.size() - 2);
  return text;
}

// An optional sign and decimal digits, nothing else; its value saturated beyond any range.
std::optional<int64_t> WholeNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  const auto significant = text.find_first_not_of('0');
  const std::string_view digits = significant == std::string_view::npos ? std::string_view() : text.substr(significant);
  int64_t value = 10'000'000'000;  // beyond every range
  if (digits.size() <= kSignificantDigitsLimit) {
    value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

int32_t BlockValue(const ParamBlock& block, const SetupIniKey& key) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&block);
  if (key.BlockWidth == 2) {
    int16_t value = 0;
    std::memcpy(&value, bytes + key.BlockOffset, sizeof value);
    return value;
  }
  return bytes[key.BlockOffset];
}

class Checker {
 public:
  explicit Checker(std::string_view fileName) : file_(fileName) {}

  SettingsFileCheck Check(std::string_view bytes) {
    if (!CheckWholeFile(bytes)) return std::move(result_);
    size_t number = 0;
    for (size_t from = 0; from < bytes.size();) {
      const size_t end = std::min(bytes.find('\n', from), bytes.size());
      CheckLine(++number, bytes.substr(from, end - from));
      from = end + 1;
    }
    if (sectionLine_ == 0) {
      Problem(file_ + ": no [Settings] section");
    } else if (!anyKey_) {
      Problem(At(sectionLine_) + "[Settings]: holds no setting");
    }
    CheckGroups();
    if (!result_.Accepted()) result_.Values = {};
    return std::move(result_);
  }

 private:
  bool CheckWholeFile(std::string_view bytes) {
    auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (bytes.empty()) {
      Problem(file_ + ": the file is empty");
    } else if (bytes.size() > kSettingsFileLimit) {
      Problem(file_ + ": larger than " + std::to_string(kSettingsFileLimit) + " bytes: not a settings file");
    } else if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
      Problem(file_ + ": UTF-16 text; save it as ANSI text");
    } else if (startsWith("\xEF\xBB\xBF")) {
      Problem(file_ + ": starts with a UTF-8 byte-order mark; save it as ANSI text, without the mark");
    } else if (bytes.find('\0') != std::string_view::npos) {
      Problem(file_ + ": holds NUL bytes: not a text file (UTF-16 without a byte-order mark?)");
    }
    return result_.Accepted();
  }

  void CheckLine(size_t number, std::string_view raw) {
    const std::string_view line = Trimmed(raw);
    if (line.empty() || line.front() == ';') return;
    if (line.front() == '[') {
      CheckSection(number, line);
      return;
    }
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
      Problem(At(number) + "not a section, a comment (;) or key=value: " + Quoted(line));
      return;
    }
    const std::string_view name = Trimmed(line.substr(0, equals));
    if (name.empty()) {
      Problem(At(number) + "no key before \"=\"");
      return;
    }
    const int index = KeyIndex(name);
    const std::string shownName = index < 0 ? Shown(name) : kSetupIniKeys[index].Name;
    if (!inSettings_) {
      Problem(At(number) + shownName + ": outside section [Settings]");
      return;
    }
    anyKey_ = true;
    if (index < 0) {
      Problem(At(number) + shownName + ": unknown key");
      return;
    }
    if (lines_[index] != 0) {
      Problem(At(number) + shownName + ": given twice (first at line " + std::to_string(lines_[index]) + ")");
      return;
    }
    lines_[index] = number;
    CheckValue(number, kSetupIniKeys[index], index, line.substr(equals + 1));
  }

  void CheckSection(size_t number, std::string_view line) {
    inSettings_ = false;
    if (line.back() != ']') {
      Problem(At(number) + "not a section, a comment (;) or key=value: " + Quoted(line));
      return;
    }
    const std::string_view name = Trimmed(line.substr(1, line.size() - 2));
    if (!SameText(name, kSection)) {
      Problem(At(number) + "[" + Shown(name) + "]: only section [Settings] is read");
      return;
    }
    if (sectionLine_ != 0) {
      Problem(At(number) + "[Settings]: given twice (first at line " + std::to_string(sectionLine_) + ")");
      return;
    }
    sectionLine_ = number;
    inSettings_ = true;
  }

  void CheckValue(size_t number, const SetupIniKey& key, int index, std::string_view raw) {
    const std::string prefix = At(number) + key.Name + ": ";
    const std::string_view text = ReadValue(raw);
    if (text.empty()) {
      Problem(prefix + "no value");
      return;
    }
    const auto value = WholeNumber(text);
    if (!value) {
      Problem(prefix + Quoted(text) + " is not a whole number");
      return;
    }
    if (*value < key.Minimum || *value > key.Maximum) {
      Problem(prefix + Shown(text) + " is outside " + Range(key));
      return;
    }
    if (text.size() > kSettingValueLimit) {
      Problem(prefix + Quoted(text) + " is longer than the " + std::to_string(kSettingValueLimit) +
              " characters the setup finisher reads");
      return;
    }
    result_.Values[index] = static_cast<int32_t>(*value);
  }

  // A four-byte seed is stored only whole: its keys come together or not at all.
  void CheckGroups() {
    for (const SeedValue& seed : kSeedValues) {
      if (seed.ByteCount != 4) continue;
      size_t firstLine = 0;
      const char* firstKey = nullptr;
      std::string missing;
      for (const char* key : seed.Keys) {
        const size_t line = lines_[SetupIniKeyIndex(key)];
        if (line == 0) {
          missing += (missing.empty() ? "" : ", ") + std::string(key);
        } else if (firstLine == 0 || line < firstLine) {
          firstLine = line;
          firstKey = key;
        }
      }
      if (firstLine != 0 && !missing.empty())
        Problem(At(firstLine) + firstKey + ": " + seed.ValueName + " takes its four keys together; missing: " + missing);
    }
  }

  std::string At(size_t line) const { return file_ + ":" + std::to_string(line) + ": "; }
  void Problem(std::string text) { result_.Problems.push_back(std::move(text)); }

  std::string file_;
  SettingsFileCheck result_;
  std::array<size_t, kSetupIniKeyCount> lines_{};  // where each key was given, 0 = not given
  size_t sectionLine_ = 0;
  bool inSettings_ = false;
  bool anyKey_ = false;
};

}  // namespace

ExportedSettings ExportedValues(const PcSettings& pc) {
  ExportedSettings exported;
  for (size_t i = 0; i < kSetupIniKeyCount; ++i) {
    const SetupIniKey& key = kSetupIniKeys[i];
    const std::string_view name = key.Name;
    int32_t value = 0;
    const char* from = "the model key";
    if (key.BlockOffset != kNotInBlock) {
      value = BlockValue(pc.Block, key);
      from = "the driver's block";
    } else if (name == "CalibrationMode") {
      value = pc.CalibrationMode;
    } else if (name == kDoubleClickSpeedName) {
      value = pc.DoubleClick.Speed;
    } else if (name == kDoubleClickWidthName) {
      value = pc.DoubleClick.Width;
    } else {
      value = pc.DoubleClick.Height;
    }
    if (value < key.Minimum || value > key.Maximum) {
      exported.Problems.push_back(std::string(name) + " is " + std::to_string(value) + " in " + from + ", outside " +
                                  Range(key));
      continue;
    }
    exported.Values[i] = value;
  }
  return exported;
}

std::string SettingsFileText(const SettingsValues& values) {
  std::string text =
      "; TouchScreen KR-PS2 settings, written by \"KORALpcp.exe /EXPORT\". \"KORALpcp.exe /IMPORT file\"\r\n"
      "; applies them on a PC; \"TouchScreen-7.2-Setup.exe /INI=file\" installs with them.\r\n"
      "[Settings]\r\n";
  for (size_t i = 0; i < kSetupIniKeyCount; ++i)
    if (values[i]) text += std::string(kSetupIniKeys[i].Name) + "=" + std::to_string(*values[i]) + "\r\n";
  return text;
}

int32_t CalibrationModeInForce(std::optional<int32_t> stored) {
  return stored && (*stored == 0 || *stored == 1) ? *stored : 1;
}

SettingsFileCheck CheckSettingsFile(std::string_view fileName, std::string_view bytes) {
  return Checker(fileName).Check(bytes);
}

void PutIntoBlock(const SettingsValues& values, ParamBlock& block) {
  auto* bytes = reinterpret_cast<uint8_t*>(&block);
  for (size_t i = 0; i < kSetupIniKeyCount; ++i) {
    const SetupIniKey& key = kSetupIniKeys[i];
    if (!values[i] || key.BlockOffset == kNotInBlock) continue;
    if (key.BlockWidth == 2) {
      const auto value = static_cast<int16_t>(*values[i]);
      std::memcpy(bytes + key.BlockOffset, &value, sizeof value);
    } else {
      bytes[key.BlockOffset] = static_cast<uint8_t>(*values[i]);
    }
  }
}

std::vector<SeedStore> SeedStoresOf(const SettingsValues& values) {
  return PlanSeedStores([&](const SetupIniKey& key) {
    const auto& value = values[static_cast<size_t>(SetupIniKeyIndex(key.Name))];
    return value ? *value : kSettingEmpty;
  });
}

}  // namespace koral
