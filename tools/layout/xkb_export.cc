#include "tools/layout/xkb_export.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "layouts/common/layout_tables.h"
#include "layouts/common/virtual_keys.h"
#include "nt/keyboard/lookup.h"
#include "nt/keyboard/strokes.h"
#include "nt/keyboard/vk_names.h"
#include "tools/layout/glyphs.h"
#include "tools/layout/key_cells.h"
#include "tools/layout/xkb_keys.h"

namespace layout_tools {
namespace {

using nt::kbd::Prefix;
using nt::kbd::ScanCode;

// A dead-key result that waits for another character (a chained accent).
constexpr uint16_t kDeadResult = 0x0001;
// Key types in the keymap, spare ones included (see WriteKeymap).
constexpr int kTypesForTheXServer = 48;
// How many chained accents the Compose file follows.
constexpr int kMaxChain = 3;

enum Mod : unsigned { kShift = 1, kLock = 2, kNumLock = 4, kLevelThree = 8 };

struct KeyType {
  const char* name;
  unsigned mask;
  int levels;
  int (*level)(unsigned mods);  // 1-based
  const char* levelNames[8];
};

int FourLevels(bool shift, bool third) { return (third ? 3 : 1) + (shift ? 1 : 0); }

// Caps Lock acts as Shift on a CAPLOK row, except with AltGr; on other rows not at all.
const KeyType kPlain{"NT_PLAIN", kShift | kLock | kLevelThree, 4,
                     [](unsigned m) { return FourLevels(m & kShift, m & kLevelThree); },
                     {"Base", "Shift", "AltGr", "Shift AltGr"}};
const KeyType kCapLok{"NT_CAPLOK", kShift | kLock | kLevelThree, 4,
                      [](unsigned m) {
                        const bool third = m & kLevelThree;
                        return FourLevels(((m & kShift) != 0) != ((m & kLock) != 0 && !third), third);
                      },
                      {"Base", "Shift", "AltGr", "Shift AltGr"}};
// Levels 1-4: the key's own virtual key; 5-8: its digit, with Num Lock and without Shift.
const KeyType kKeypad{"NT_KEYPAD", kShift | kLock | kNumLock | kLevelThree, 8,
                      [](unsigned m) {
                        const int level = FourLevels(m & kShift, m & kLevelThree);
                        return (m & kNumLock) != 0 && (m & kShift) == 0 ? level + 4 : level;
                      },
                      {"Base", "Shift", "AltGr", "Shift AltGr", "Num Lock", "Num Lock Shift",
                       "Num Lock AltGr", "Num Lock Shift AltGr"}};

std::string ModifierNames(unsigned mods) {
  std::string text;
  const std::pair<unsigned, const char*> names[] = {
      {kShift, "Shift"}, {kLock, "Lock"}, {kNumLock, "Mod2"}, {kLevelThree, "Mod5"}};
  for (const auto& [bit, name] : names) {
    if ((mods & bit) == 0) continue;
    if (!text.empty()) text += "+";
    text += name;
  }
  return text.empty() ? "none" : text;
}

void WriteType(std::ostream& out, const KeyType& type) {
  out << "    type \"" << type.name << "\" {\n";
  out << "        modifiers = " << ModifierNames(type.mask) << ";\n";
  for (unsigned mods = 1; mods <= type.mask; ++mods) {
    if ((mods & ~type.mask) != 0) continue;
    const int level = type.level(mods);
    if (level != 1) out << "        map[" << ModifierNames(mods) << "] = Level" << level << ";\n";
  }
  for (int level = 0; level < type.levels; ++level) {
    out << "        level_name[Level" << level + 1 << "] = \"" << type.levelNames[level] << "\";\n";
  }
  out << "    };\n";
}

// What one level of a key sends.
struct Symbol {
  xkb_keysym_t keysym = XKB_KEY_NoSymbol;
  char16_t c = 0;  // the character, or the accent of a dead keysym
  bool dead = false;
};

struct KeySymbols {
  XkbKey key = {};
  const KeyType* type = nullptr;  // null: one level
  std::vector<Symbol> levels = {};
  std::string comment = {};
};

class Exporter {
 public:
  Exporter(const nt::kbd::Layout& layout, std::string name) : layout_(layout), name_(std::move(name)) {}

  XkbExport Run() {
    result_.deadKeysyms = AssignDeadKeysyms(layout_);
    for (const DeadKeysym& dead : result_.deadKeysyms) {
      if (dead.keysym == XKB_KEY_NoSymbol) {
        result_.notes.push_back("accent " + Describe(dead.accent) + " has no dead keysym free: left out");
      } else if (dead.standIn) {
        result_.notes.push_back("accent " + Describe(dead.accent) + " has no dead keysym of its own in XKB: " +
                                KeysymName(dead.keysym) + " stands for it");
      }
    }
    CollectKeys();
    std::ostringstream keymap;
    WriteKeymap(keymap);
    result_.keymap = keymap.str();
    std::ostringstream compose;
    WriteCompose(compose);
    result_.compose = compose.str();
    return std::move(result_);
  }

 private:
  static std::string Describe(char16_t c) { return CodePoint(c) + " " + Glyph(c); }

  std::string KeyTitle(ScanCode scan) const {
    std::string title = DescribeScanCode(scan);
    const std::string keyName = nt::kbd::ToUtf8(nt::kbd::KeyName(layout_, scan));
    if (!keyName.empty()) title += " \"" + keyName + "\"";
    return title;
  }

  const DeadKeysym* DeadOf(char16_t accent) const {
    for (const DeadKeysym& dead : result_.deadKeysyms) {
      if (dead.accent == accent && dead.keysym != XKB_KEY_NoSymbol) return &dead;
    }
    return nullptr;
  }

  Symbol SymbolOf(ScanCode scan, const Cell& cell) const {
    switch (cell.kind) {
      case CellKind::kChar: return {CharacterKeysym(scan, cell.c), cell.c, false};
      case CellKind::kDead:
        if (const DeadKeysym* dead = DeadOf(cell.c)) return {dead->keysym, cell.c, true};
        return {};
      case CellKind::kNone: break;
    }
    return {};
  }

  void AddLevels(ScanCode scan, uint8_t vk, std::vector<Symbol>* levels) const {
    for (int level = 0; level < kLevels; ++level) levels->push_back(SymbolOf(scan, CellOf(layout_, vk, level, false)));
  }

  // Every scan code that yields a virtual key: plain, then E0, then E1.
  std::vector<ScanCode> ScanCodes() const {
    std::vector<ScanCode> scans;
    for (size_t code = 0; code < layout_.scanToVk.size() && code < 0x80; ++code) {
      scans.push_back({static_cast<uint8_t>(code), Prefix::kNone});
    }
    for (auto [list, prefix] : {std::pair{&layout_.e0ToVk, Prefix::kE0}, std::pair{&layout_.e1ToVk, Prefix::kE1}}) {
      std::set<uint8_t> seen;
      for (const nt::kbd::ScanVk& entry : *list) {
        if (entry.scan < 0x80 && seen.insert(entry.scan).second) scans.push_back({entry.scan, prefix});
      }
    }
    return scans;
  }

  void CollectKeys() {
    const bool altGr = (layout_.localeFlags & KLLF_ALTGR) != 0;
    std::set<xkb_keycode_t> used;
    for (const ScanCode scan : ScanCodes()) {
      const uint16_t vkf = nt::kbd::VirtualKeyOf(layout_, scan);
      const uint8_t vk = vkf & 0xFF;
      if (vk == nt::kbd::kNoKey || vk == 0) continue;
      const auto keycode = KeycodeOf(scan, vk);
      if (!keycode || !used.insert(*keycode).second) {
        result_.leftOut.push_back(scan);
        continue;
      }
      const XkbKey key{scan, *keycode};
      result_.keys.push_back(key);
      KeySymbols symbols{.key = key};
      symbols.comment = KeyTitle(scan) + ", " + nt::kbd::VirtualKeyName(vk);
      const uint8_t digit = (vkf & KBDNUMPAD) != 0 ? nt::kbd::NumLockVirtualKey(vk) : 0;
      const nt::kbd::CharRow* row = layout_.RowOf(vk);
      if (digit != 0) {
        symbols.type = &kKeypad;
        if (row != nullptr) {
          AddLevels(scan, vk, &symbols.levels);
        } else {
          symbols.levels.resize(kLevels);
          symbols.levels[0].keysym = FunctionKeysym(vkf, altGr);
        }
        AddLevels(scan, digit, &symbols.levels);
        symbols.comment += " / " + nt::kbd::VirtualKeyName(digit);
      } else if (row != nullptr) {
        symbols.type = (row->attributes & CAPLOK) != 0 ? &kCapLok : &kPlain;
        AddLevels(scan, vk, &symbols.levels);
      } else if (const xkb_keysym_t keysym = FunctionKeysym(vkf, altGr); keysym != XKB_KEY_NoSymbol) {
        symbols.levels.push_back({keysym});
      } else {
        result_.notes.push_back("key " + KeyTitle(scan) + ": virtual key " + nt::kbd::VirtualKeyName(vk) +
                                " types nothing and has no keysym");
      }
      const bool any = std::any_of(symbols.levels.begin(), symbols.levels.end(),
                                   [](const Symbol& s) { return s.keysym != XKB_KEY_NoSymbol; });
      if (any) symbols_.push_back(std::move(symbols));
    }
    if (!result_.leftOut.empty()) {
      std::string line = "left out, having no keycode of their own under Linux:";
      for (const ScanCode scan : result_.leftOut) {
        line += " " + DescribeScanCode(scan) + " (" +
                nt::kbd::VirtualKeyName(nt::kbd::VirtualKeyOf(layout_, scan) & 0xFF) + ")";
      }
      result_.notes.push_back(line);
    }
  }

  void WriteHeader(std::ostream& out, const char* comment) const {
    out << comment << " " << name_ << ": made from the layout library's tables by \"station layout export-xkb\".\n";
    for (const std::string& note : result_.notes) out << comment << " " << note << "\n";
  }

  void WriteKeymap(std::ostream& out) const {
    WriteHeader(out, "//");
    std::vector<XkbKey> byKeycode = result_.keys;
    std::sort(byKeycode.begin(), byKeycode.end(),
              [](const XkbKey& a, const XkbKey& b) { return a.keycode < b.keycode; });
    out << "xkb_keymap {\n";
    out << "xkb_keycodes \"" << name_ << "\" {\n    minimum = 8;\n    maximum = 255;\n";
    for (const XkbKey& key : byKeycode) out << "    " << KeycodeName(key.keycode) << " = " << key.keycode << ";\n";
    out << "    indicator 1 = \"Caps Lock\";\n    indicator 2 = \"Num Lock\";\n};\n\n";

    out << "xkb_types \"" << name_ << "\" {\n";
    // Types name the real modifiers that Num Lock (Mod2) and AltGr (Mod5) set:
    // the X server checks the types before virtual modifiers are bound.
    // The four types it requires come first, as it expects them.
    out << R"(    type "ONE_LEVEL" {
        modifiers = none;
        level_name[Level1] = "Any";
    };
    type "TWO_LEVEL" {
        modifiers = Shift;
        map[Shift] = Level2;
        level_name[Level1] = "Base";
        level_name[Level2] = "Shift";
    };
    type "ALPHABETIC" {
        modifiers = Shift+Lock;
        map[Shift] = Level2;
        map[Lock] = Level2;
        level_name[Level1] = "Base";
        level_name[Level2] = "Caps";
    };
    type "KEYPAD" {
        modifiers = Shift+Mod2;
        map[Shift] = Level2;
        map[Mod2] = Level2;
        level_name[Level1] = "Base";
        level_name[Level2] = "Number";
    };
)";
    for (const KeyType* type : {&kPlain, &kCapLok, &kKeypad}) WriteType(out, *type);
    // The X server checks the keys' old types against the new list while it
    // takes a keymap (xkbcomp to a display), so a list shorter than the one
    // it has is refused: spare types keep the list as long as the usual ones.
    for (int spare = 7; spare < kTypesForTheXServer; ++spare) {
      out << "    type \"SPARE_" << spare << "\" { modifiers = none; level_name[Level1] = \"Any\"; };\n";
    }
    out << "};\n\n";

    out << R"(xkb_compat ")" << name_ << R"(" {
    virtual_modifiers NumLock,LevelThree,Alt,Super;
    interpret.useModMapMods = AnyLevel;
    interpret.repeat = False;
    interpret Shift_L { action = SetMods(modifiers=Shift); };
    interpret Shift_R { action = SetMods(modifiers=Shift); };
    interpret Control_L { action = SetMods(modifiers=Control); };
    interpret Control_R { action = SetMods(modifiers=Control); };
    interpret Alt_L { virtualModifier = Alt; action = SetMods(modifiers=Alt); };
    interpret Alt_R { virtualModifier = Alt; action = SetMods(modifiers=Alt); };
    interpret ISO_Level3_Shift { virtualModifier = LevelThree; useModMapMods = level1; action = SetMods(modifiers=LevelThree); };
    interpret Caps_Lock { action = LockMods(modifiers=Lock); };
    interpret Num_Lock { virtualModifier = NumLock; action = LockMods(modifiers=NumLock); };
    interpret Super_L { virtualModifier = Super; action = SetMods(modifiers=Super); };
    interpret Super_R { virtualModifier = Super; action = SetMods(modifiers=Super); };
    indicator "Caps Lock" { whichModState = Locked; modifiers = Lock; };
    indicator "Num Lock" { whichModState = Locked; modifiers = NumLock; };
};

)";
    out << "xkb_symbols \"" << name_ << "\" {\n    name[Group1] = \"" << name_ << "\";\n";
    std::map<std::string, std::vector<std::string>> modifierMap;
    for (const KeySymbols& symbols : symbols_) {
      out << "    // " << symbols.comment << "\n";
      out << "    key " << KeycodeName(symbols.key.keycode) << " { ";
      if (symbols.type != nullptr) out << "type = \"" << symbols.type->name << "\", ";
      out << "symbols[Group1] = [ ";
      size_t count = symbols.levels.size();
      while (count > 1 && symbols.levels[count - 1].keysym == XKB_KEY_NoSymbol) --count;
      for (size_t i = 0; i < count; ++i) out << (i ? ", " : "") << KeysymName(symbols.levels[i].keysym);
      out << " ] };\n";
      const char* real = RealModifier(symbols.levels[0].keysym);
      if (real != nullptr) modifierMap[real].push_back(KeycodeName(symbols.key.keycode));
    }
    for (const auto& [modifier, keys] : modifierMap) {
      out << "    modifier_map " << modifier << " { ";
      for (size_t i = 0; i < keys.size(); ++i) out << (i ? ", " : "") << keys[i];
      out << " };\n";
    }
    out << "};\n};\n";
  }

  static const char* RealModifier(xkb_keysym_t keysym) {
    switch (keysym) {
      case XKB_KEY_Shift_L: case XKB_KEY_Shift_R: return "Shift";
      case XKB_KEY_Caps_Lock: return "Lock";
      case XKB_KEY_Control_L: case XKB_KEY_Control_R: return "Control";
      case XKB_KEY_Alt_L: case XKB_KEY_Alt_R: return "Mod1";
      case XKB_KEY_Num_Lock: return "Mod2";
      case XKB_KEY_Super_L: case XKB_KEY_Super_R: return "Mod4";
      case XKB_KEY_ISO_Level3_Shift: return "Mod5";
      default: return nullptr;
    }
  }

  static std::string Quote(const std::u16string& text) {
    std::string out = "\"";
    for (char16_t c : text) {
      if (c == u'"' || c == u'\\') {
        out += '\\';
        out += static_cast<char>(c);
      } else if (c < 0x20 || c == 0x7F) {
        char octal[8];
        std::snprintf(octal, sizeof octal, "\\%03o", static_cast<unsigned>(c));
        out += octal;
      } else {
        out += nt::kbd::ToUtf8(std::u16string(1, c));
      }
    }
    return out + "\"";
  }

  void WriteCompose(std::ostream& out) const {
    WriteHeader(out, "#");
    // What follows a dead key: every keysym with a character that the keymap
    // has, and every dead keysym on a key (which stands for its accent).
    std::map<xkb_keysym_t, char16_t> next;
    std::set<xkb_keysym_t> onKeys;
    for (const KeySymbols& symbols : symbols_) {
      for (const Symbol& symbol : symbols.levels) {
        if (symbol.keysym == XKB_KEY_NoSymbol || symbol.c == 0) continue;
        next.emplace(symbol.keysym, symbol.c);
        if (symbol.dead) onKeys.insert(symbol.keysym);
      }
    }
    for (const DeadKeysym& dead : result_.deadKeysyms) {
      if (dead.keysym == XKB_KEY_NoSymbol) continue;
      const bool reached = onKeys.count(dead.keysym) != 0;
      out << "\n# " << Describe(dead.accent);
      const std::u16string name = nt::kbd::DeadKeyName(layout_, dead.accent);
      if (!name.empty()) out << " \"" << nt::kbd::ToUtf8(name) << "\"";
      out << " as " << KeysymName(dead.keysym) << (reached ? "" : ": no key types it") << "\n";
      // Its compositions in table order, then the keys it does not combine with.
      std::set<xkb_keysym_t> written;
      for (const nt::kbd::DeadKey& entry : layout_.deadKeys) {
        if (entry.accent != dead.accent) continue;
        std::vector<xkb_keysym_t> keysyms;
        for (const auto& [keysym, c] : next) {
          if (c == entry.base) keysyms.push_back(keysym);
        }
        if (keysyms.empty()) keysyms.push_back(xkb_utf32_to_keysym(entry.base));
        for (xkb_keysym_t keysym : keysyms) {
          if (written.insert(keysym).second) Entry(out, {dead.keysym}, dead.accent, keysym, entry.base, 1);
        }
      }
      if (!reached) continue;
      for (const auto& [keysym, c] : next) {
        if (written.insert(keysym).second) Entry(out, {dead.keysym}, dead.accent, keysym, c, 1);
      }
    }
  }

  // The line for `accent` (waiting after `prefix`) followed by `keysym`, which types `c`.
  void Entry(std::ostream& out, std::vector<xkb_keysym_t> prefix, char16_t accent, xkb_keysym_t keysym, char16_t c,
             int depth) const {
    prefix.push_back(keysym);
    const nt::kbd::DeadKey* entry = layout_.Compose(accent, c);
    if (entry != nullptr && (entry->flags & kDeadResult) != 0) {
      if (depth >= kMaxChain) return;
      std::set<xkb_keysym_t> seen;
      for (const KeySymbols& symbols : symbols_) {
        for (const Symbol& symbol : symbols.levels) {
          if (symbol.keysym != XKB_KEY_NoSymbol && symbol.c != 0 && seen.insert(symbol.keysym).second) {
            Entry(out, prefix, entry->composed, symbol.keysym, symbol.c, depth + 1);
          }
        }
      }
      return;
    }
    const std::u16string text = entry != nullptr ? std::u16string(1, entry->composed) : std::u16string{accent, c};
    for (xkb_keysym_t k : prefix) out << "<" << KeysymName(k) << "> ";
    out << ": " << Quote(text) << "\n";
  }

  const nt::kbd::Layout& layout_;
  std::string name_;
  XkbExport result_;
  std::vector<KeySymbols> symbols_;
};

}  // namespace

std::string DescribeScanCode(ScanCode scan) {
  char text[16];
  std::snprintf(text, sizeof text, "%s0x%02x",
                scan.prefix == Prefix::kE0 ? "e0 " : scan.prefix == Prefix::kE1 ? "e1 " : "", scan.code);
  return text;
}

XkbExport ExportXkb(const nt::kbd::Layout& layout, const std::string& name) {
  return Exporter(layout, name).Run();
}

}  // namespace layout_tools
