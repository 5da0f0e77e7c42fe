#include "nt/profile.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "nt/files.h"
#include "nt/system.h"

namespace nt {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// One line of the file, classified.
struct Line {
  enum Kind { kSection, kEntry } kind;
  std::string_view name;   // section name, or entry key (the whole line without "=")
  std::string_view value;  // entry value
  bool has_equals = false;
};

// Calls `visit(line)` for each section header and entry, in file order.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  size_t i = 0;
  while (i < text.size()) {
    size_t end = i;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r' && text[end] != '\0') ++end;
    std::string_view line = Trim(text.substr(i, end - i));
    i = end < text.size() ? end + 1 : end;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      size_t close = line.find(']');
      std::string_view name = line.substr(1, close == std::string_view::npos ? line.npos : close - 1);
      if (!visit(Line{Line::kSection, Trim(name), {}, false})) return;
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      if (!visit(Line{Line::kEntry, line, {}, false})) return;
    } else {
      if (!visit(Line{Line::kEntry, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)),
                      true})) {
        return;
      }
    }
  }
}

// A zero-separated list closed by an extra zero, cut the platform's way.
DWORD WriteList(const std::vector<std::string>& items, char* buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  DWORD used = 0;
  for (const std::string& item : items) {
    const size_t need = item.size() + 1;
    if (used + need > size - 1) {
      // Does not fit with the closing zero: fill size - 2 bytes, end with two zeros.
      const DWORD room = size - 2 - std::min<DWORD>(used, size - 2);
      std::memcpy(buffer + used, item.data(), std::min<size_t>(room, item.size()));
      buffer[size - 2] = '\0';
      buffer[size - 1] = '\0';
      return size - 2;
    }
    std::memcpy(buffer + used, item.c_str(), need);
    used += static_cast<DWORD>(need);
  }
  buffer[used] = '\0';
  if (used == 0) buffer[1] = '\0';  // an empty list still ends in two zeros
  return used;
}

DWORD WriteText(std::string_view text, char* buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  const DWORD length = static_cast<DWORD>(std::min<size_t>(text.size(), size - 1));
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return length;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

DWORD ReadProfileSection(std::string_view text, std::string_view section, char* buffer,
                         DWORD size) {
  std::vector<std::string> entries;
  bool inside = false;
  ForEachLine(text, [&](const Line& line) {
    if (line.kind == Line::kSection) {
      inside = SameName(line.name, section);
    } else if (inside) {
      std::string entry(line.name);
      if (line.has_equals) {
        entry += '=';
        entry += line.value;
      }
      entries.push_back(std::move(entry));
    }
    return true;
  });
  return WriteList(entries, buffer, size);
}

DWORD ReadProfileString(std::string_view text, const char* section, const char* key,
                        const char* defaultText, char* buffer, DWORD size) {
  if (section == nullptr) {
    std::vector<std::string> names;
    ForEachLine(text, [&](const Line& line) {
      if (line.kind == Line::kSection) names.emplace_back(line.name);
      return true;
    });
    return WriteList(names, buffer, size);
  }
  bool inside = false;
  if (key == nullptr) {
    std::vector<std::string> keys;
    ForEachLine(text, [&](const Line& line) {
      if (line.kind == Line::kSection) {
        inside = SameName(line.name, section);
      } else if (inside && line.has_equals) {
        keys.emplace_back(line.name);
      }
      return true;
    });
    return WriteList(keys, buffer, size);
  }
  bool found = false;
  std::string_view value;
  ForEachLine(text, [&](const Line& line) {
    if (line.kind == Line::kSection) {
      inside = SameName(line.name, section);
    } else if (inside && line.has_equals && SameName(line.name, key)) {
      found = true;
      value = Unquote(line.value);
      return false;
    }
    return true;
  });
  if (!found) value = defaultText == nullptr ? std::string_view() : std::string_view(defaultText);
  return WriteText(value, buffer, size);
}

std::string IniProfileReader::Read(LPCSTR file) {
  std::string text;
  if (file == nullptr || files_.ReadAll(file, &text) != ERROR_SUCCESS) text.clear();
  return text;
}

DWORD IniProfileReader::GetSection(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR file) {
  return ReadProfileSection(Read(file), section == nullptr ? "" : section, buffer, size);
}

DWORD IniProfileReader::GetString(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer,
                                  DWORD size, LPCSTR file) {
  return ReadProfileString(Read(file), section, key, defaultText, buffer, size);
}

}  // namespace nt

DWORD WINAPI GetPrivateProfileSectionA(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR file) {
  return nt::CurrentProfile().GetSection(section, buffer, size, file);
}

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText,
                                      LPSTR buffer, DWORD size, LPCSTR file) {
  return nt::CurrentProfile().GetString(section, key, defaultText, buffer, size, file);
}
