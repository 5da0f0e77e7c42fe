#include "nt/reg_file.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "nt/errors.h"

namespace nt {
namespace {

constexpr std::string_view kRegedit4 = "REGEDIT4";
constexpr std::string_view kVersion5 = "Windows Registry Editor Version 5.00";

void AppendUtf8(uint32_t code, std::string* out) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | (code >> 6));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out += static_cast<char>(0xE0 | (code >> 12));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (code >> 18));
    *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// UTF-16LE to UTF-8; false on an odd length or a lone surrogate.
bool Utf16ToUtf8(std::string_view bytes, std::string* out) {
  if (bytes.size() % 2 != 0) return false;
  out->clear();
  auto unit = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
  };
  for (size_t i = 0; i < bytes.size(); i += 2) {
    uint32_t code = unit(i);
    if (code >= 0xD800 && code < 0xDC00) {
      if (i + 3 >= bytes.size()) return false;
      const uint32_t low = unit(i + 2);
      if (low < 0xDC00 || low >= 0xE000) return false;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    } else if (code >= 0xDC00 && code < 0xE000) {
      return false;
    }
    AppendUtf8(code, out);
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void SkipBlanks(std::string_view* text) {
  while (!text->empty() && (text->front() == ' ' || text->front() == '\t')) text->remove_prefix(1);
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

class Parser {
 public:
  Parser(std::string_view text, bool version5, std::vector<RegEdit>* edits)
      : version5_(version5), edits_(edits) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      lines_.push_back(text.substr(start, end - start));
      start = end + 1;
    }
  }

  bool Run(std::string* error, int* errorLine) {
    for (line_ = 1; line_ < static_cast<int>(lines_.size()); ++line_) {
      std::string_view text = TrimRight(lines_[line_]);
      SkipBlanks(&text);
      std::string why;
      bool ok = true;
      if (text.empty() || text.front() == ';') continue;
      if (text.front() == '[') {
        ok = KeyLine(text, &why);
      } else if (text.front() == '"' || text.front() == '@') {
        ok = ValueLine(text, &why);
      } else {
        ok = false;
        why = "expected a [key] or a value";
      }
      if (!ok) {
        *error = "line " + std::to_string(line_ + 1) + ": " + why;
        if (errorLine) *errorLine = line_ + 1;
        return false;
      }
    }
    return true;
  }

 private:
  bool KeyLine(std::string_view text, std::string* why) {
    if (text.back() != ']') {
      *why = "a key line must end with ]";
      return false;
    }
    text = text.substr(1, text.size() - 2);
    const bool remove = !text.empty() && text.front() == '-';
    if (remove) text.remove_prefix(1);
    RegEdit edit;
    edit.line = line_ + 1;
    if (!ParseKeyName(text, &edit.root, &edit.path)) {
      *why = "unknown root key in \"" + std::string(text) + "\"";
      return false;
    }
    if (edit.path.find("\\\\") != std::string::npos || (!edit.path.empty() && edit.path[0] == '\\')) {
      *why = "empty key name in \"" + std::string(text) + "\"";
      return false;
    }
    if (remove && edit.path.empty()) {
      *why = "a root key cannot be deleted";
      return false;
    }
    edit.kind = remove ? RegEdit::Kind::kDeleteKey : RegEdit::Kind::kCreateKey;
    have_key_ = !remove;
    key_ = edit;
    edits_->push_back(std::move(edit));
    return true;
  }

  bool ValueLine(std::string_view text, std::string* why) {
    if (!have_key_) {
      *why = "a value outside of a key";
      return false;
    }
    RegEdit edit = key_;
    edit.line = line_ + 1;
    if (text.front() == '@') {
      text.remove_prefix(1);
    } else if (!Quoted(&text, &edit.name, why)) {
      return false;
    }
    SkipBlanks(&text);
    if (text.empty() || text.front() != '=') {
      *why = "expected = after the value name";
      return false;
    }
    text.remove_prefix(1);
    SkipBlanks(&text);
    if (!Data(text, &edit, why)) return false;
    edits_->push_back(std::move(edit));
    return true;
  }

  // A double-quoted text with \\ and \" escapes; `text` moves past it.
  bool Quoted(std::string_view* text, std::string* out, std::string* why) {
    out->clear();
    size_t i = 1;
    for (; i < text->size() && (*text)[i] != '"'; ++i) {
      char c = (*text)[i];
      if (c == '\\') {
        if (i + 1 >= text->size() || ((*text)[i + 1] != '\\' && (*text)[i + 1] != '"')) {
          *why = "a backslash in quotes must precede \\ or \"";
          return false;
        }
        c = (*text)[++i];
      }
      *out += c;
    }
    if (i >= text->size()) {
      *why = "text without its closing quote";
      return false;
    }
    text->remove_prefix(i + 1);
    return true;
  }

  bool Data(std::string_view text, RegEdit* edit, std::string* why) {
    if (text == "-") {
      edit->kind = RegEdit::Kind::kDeleteValue;
      return true;
    }
    edit->kind = RegEdit::Kind::kSetValue;
    if (text.front() == '"') {
      if (!Quoted(&text, &edit->data, why)) return false;
      if (!text.empty()) {
        *why = "unexpected text after the closing quote";
        return false;
      }
      edit->type = REG_SZ;
      edit->data += '\0';
      return true;
    }
    if (text.starts_with("dword:")) {
      text.remove_prefix(6);
      uint32_t number = 0;
      if (text.empty() || text.size() > 8) {
        *why = "dword: needs one to eight hexadecimal digits";
        return false;
      }
      for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) {
          *why = "dword: needs one to eight hexadecimal digits";
          return false;
        }
        number = number << 4 | static_cast<uint32_t>(digit);
      }
      edit->type = REG_DWORD;
      for (int i = 0; i < 4; ++i) edit->data += static_cast<char>(number >> (8 * i) & 0xFF);
      return true;
    }
    if (text.starts_with("hex:")) {
      text.remove_prefix(4);
      edit->type = REG_BINARY;
    } else if (text.starts_with("hex(")) {
      text.remove_prefix(4);
      const size_t close = text.find("):");
      uint32_t type = 0;
      if (close == 0 || close == std::string_view::npos || close > 8) {
        *why = "hex(n): needs a hexadecimal type number";
        return false;
      }
      for (char c : text.substr(0, close)) {
        const int digit = HexDigit(c);
        if (digit < 0) {
          *why = "hex(n): needs a hexadecimal type number";
          return false;
        }
        type = type << 4 | static_cast<uint32_t>(digit);
      }
      text.remove_prefix(close + 2);
      edit->type = type;
    } else {
      *why = "unrecognised value data";
      return false;
    }
    if (!HexBytes(text, &edit->data, why)) return false;
    if (version5_ && (edit->type == REG_SZ || edit->type == REG_EXPAND_SZ ||
                      edit->type == REG_MULTI_SZ)) {
      std::string narrow;
      if (!Utf16ToUtf8(edit->data, &narrow)) {
        *why = "text data that is not UTF-16";
        return false;
      }
      edit->data = std::move(narrow);
    }
    return true;
  }

  // "xx,xx,..." with a trailing backslash continuing on the next line.
  bool HexBytes(std::string_view text, std::string* out, std::string* why) {
    for (;;) {
      SkipBlanks(&text);
      if (text.empty()) return true;
      if (text == "\\") {
        if (++line_ >= static_cast<int>(lines_.size())) {
          *why = "the file ends inside hex data";
          --line_;
          return false;
        }
        text = TrimRight(lines_[line_]);
        continue;
      }
      if (text.size() < 2 || HexDigit(text[0]) < 0 || HexDigit(text[1]) < 0) {
        *why = "expected two hexadecimal digits";
        return false;
      }
      *out += static_cast<char>(HexDigit(text[0]) << 4 | HexDigit(text[1]));
      text.remove_prefix(2);
      SkipBlanks(&text);
      if (text.empty()) return true;
      if (text.front() == ',') {
        text.remove_prefix(1);
        SkipBlanks(&text);
        if (text.empty()) {
          *why = "a comma ends the hex data";
          return false;
        }
      } else if (text != "\\") {
        *why = "expected a comma between bytes";
        return false;
      }
    }
  }

  bool version5_;
  std::vector<RegEdit>* edits_;
  std::vector<std::string_view> lines_;
  int line_ = 0;  // index into lines_; reported from 1
  bool have_key_ = false;
  RegEdit key_;
};

std::string Escape(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Text that reads back as the same bytes: one terminating zero, none inside,
// and no line break.
bool ExportsAsText(std::string_view data) {
  if (data.empty() || data.back() != '\0') return false;
  return data.substr(0, data.size() - 1).find_first_of(std::string_view("\0\r\n", 3)) ==
         std::string_view::npos;
}

std::string ValueLine(const std::string& name, DWORD type, const std::string& data) {
  std::string line = name.empty() ? "@=" : Escape(name) + "=";
  if (type == REG_SZ && ExportsAsText(data)) {
    return line + Escape(std::string_view(data).substr(0, data.size() - 1));
  }
  if (type == REG_DWORD && data.size() == 4) {
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(data[i]);
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", number);
    return line + text;
  }
  char prefix[24];
  if (type == REG_BINARY) {
    std::snprintf(prefix, sizeof prefix, "hex:");
  } else {
    std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
  }
  line += prefix;
  // Wrapped before 80 columns, continued lines indented by two blanks.
  size_t column = line.size();
  for (size_t i = 0; i < data.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(data[i]));
    const bool last = i + 1 == data.size();
    if (column + (last ? 2 : 3) > 78) {
      line += "\\\n  ";
      column = 2;
    }
    line += byte;
    if (!last) line += ',';
    column += last ? 2 : 3;
  }
  return line;
}

LONG ExportKey(Registry& registry, HKEY key, const std::string& name, std::string* text) {
  *text += "[" + name + "]\n";
  std::string valueName(16384, '\0');
  std::string data(256, '\0');
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = static_cast<DWORD>(valueName.size());
    DWORD dataLength = static_cast<DWORD>(data.size());
    DWORD type = 0;
    LONG rc = registry.EnumValue(key, i, valueName.data(), &nameLength, &type,
                                 reinterpret_cast<BYTE*>(data.data()), &dataLength);
    if (rc == ERROR_MORE_DATA && dataLength > data.size()) {
      data.resize(dataLength);
      --i;
      continue;
    }
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) return rc;
    *text += ValueLine(valueName.substr(0, nameLength), type, data.substr(0, dataLength)) + "\n";
  }
  *text += "\n";
  char subkey[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof subkey;
    LONG rc = registry.EnumKey(key, i, subkey, &length, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) return rc;
    HKEY child = nullptr;
    if (LONG e = registry.OpenKey(key, subkey, KEY_READ, &child)) return e;
    rc = ExportKey(registry, child, name + "\\" + std::string(subkey, length), text);
    registry.CloseKey(child);
    if (rc != ERROR_SUCCESS) return rc;
  }
  return ERROR_SUCCESS;
}

std::string KeyName(HKEY root, const std::string& path) {
  return path.empty() ? RootName(root) : RootName(root) + "\\" + path;
}

LONG ApplyEdit(Registry& registry, const RegEdit& edit) {
  HKEY key = nullptr;
  switch (edit.kind) {
    case RegEdit::Kind::kCreateKey:
    case RegEdit::Kind::kSetValue: {
      if (LONG e = registry.CreateKey(edit.root, edit.path.c_str(), nullptr, KEY_ALL_ACCESS, &key,
                                      nullptr)) {
        return e;
      }
      LONG rc = ERROR_SUCCESS;
      if (edit.kind == RegEdit::Kind::kSetValue) {
        rc = registry.SetValue(key, edit.name.c_str(), edit.type,
                               reinterpret_cast<const BYTE*>(edit.data.data()),
                               static_cast<DWORD>(edit.data.size()));
      }
      registry.CloseKey(key);
      return rc;
    }
    case RegEdit::Kind::kDeleteKey: {
      LONG rc = DeleteKeyTree(registry, edit.root, edit.path);
      return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
    }
    case RegEdit::Kind::kDeleteValue: {
      LONG rc = registry.OpenKey(edit.root, edit.path.c_str(), KEY_ALL_ACCESS, &key);
      if (rc == ERROR_SUCCESS) {
        rc = registry.DeleteValue(key, edit.name.c_str());
        registry.CloseKey(key);
      }
      return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
    }
  }
  return ERROR_INVALID_PARAMETER;
}

}  // namespace

bool ParseRegFile(std::string_view bytes, std::vector<RegEdit>* edits, std::string* error,
                  int* errorLine) {
  edits->clear();
  std::string decoded;
  bool wide = false;
  if (bytes.starts_with("\xFF\xFE")) {
    if (!Utf16ToUtf8(bytes.substr(2), &decoded)) {
      *error = "line 1: the file is not valid UTF-16";
      if (errorLine) *errorLine = 1;
      return false;
    }
    bytes = decoded;
    wide = true;
  } else if (bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
  }
  const std::string_view header = TrimRight(bytes.substr(0, bytes.find('\n')));
  bool version5 = false;
  if (header == kVersion5) {
    version5 = true;
  } else if (header != kRegedit4 || wide) {
    *error = std::string("line 1: expected \"") + std::string(wide ? kVersion5 : kRegedit4) +
             "\" or \"" + std::string(kVersion5) + "\"";
    if (errorLine) *errorLine = 1;
    return false;
  }
  Parser parser(bytes, version5, edits);
  if (parser.Run(error, errorLine)) return true;
  edits->clear();
  return false;
}

LONG ApplyRegEdits(Registry& registry, const std::vector<RegEdit>& edits, std::string* error) {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    if (std::none_of(edits.begin(), edits.end(),
                     [root](const RegEdit& edit) { return edit.root == root; })) {
      continue;
    }
    const RegEdit* failed = nullptr;
    LONG rc = registry.Transact(root, [&]() -> LONG {
      for (const RegEdit& edit : edits) {
        if (edit.root != root) continue;
        if (LONG e = ApplyEdit(registry, edit)) {
          failed = &edit;
          return e;
        }
      }
      return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) {
      *error = "cannot apply " + (failed ? "line " + std::to_string(failed->line) + " to " +
                                                KeyName(failed->root, failed->path)
                                          : RootName(root)) +
               ": " + DescribeError(static_cast<DWORD>(rc));
      return rc;
    }
  }
  return ERROR_SUCCESS;
}

LONG ExportRegFile(Registry& registry, HKEY root, const std::string& path, std::string* text) {
  std::string stored;
  if (LONG e = StoredKeyPath(registry, root, path, &stored)) return e;
  HKEY key = nullptr;
  if (LONG e = registry.OpenKey(root, path.c_str(), KEY_READ, &key)) return e;
  *text = std::string(kRegedit4) + "\n\n";
  LONG rc = ExportKey(registry, key, KeyName(root, stored), text);
  registry.CloseKey(key);
  return rc;
}

}  // namespace nt
