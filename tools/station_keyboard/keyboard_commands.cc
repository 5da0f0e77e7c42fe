#include "tools/station_keyboard/keyboard_commands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "nt/errors.h"
#include "nt/keyboard/library.h"
#include "nt/keyboard/lookup.h"
#include "nt/keyboard/strokes.h"
#include "nt/keyboard/vk_names.h"

namespace station {
namespace {

constexpr char kLayoutsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\";

// Takes "--layout X" out of `args`; false (with a message) when X is missing.
bool TakeLayoutOption(std::vector<std::string>& args, std::optional<std::string>* layout, std::ostream& err) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--layout") continue;
    if (i + 1 >= args.size()) {
      err << "station: --layout needs a library file or a layout name\n";
      return false;
    }
    *layout = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return true;
  }
  return true;
}

// The layout to work with: a registered name, a library file, or the active layout.
bool OpenLayout(const std::optional<std::string>& given, nt::kbd::KeyboardDriver& driver, nt::kbd::Layout* layout,
                std::ostream& err) {
  std::string name;
  DWORD error = ERROR_SUCCESS;
  std::string problem;
  if (given && !nt::kbd::IsLayoutName(*given)) {
    name = *given;
    error = nt::kbd::LoadLayoutLibrary(*given, layout, &problem);
  } else {
    if (given) {
      name = *given;
    } else if ((error = driver.ActiveName(&name)) != ERROR_SUCCESS) {
      err << "station: there is no active keyboard layout: " << nt::DescribeError(error) << "\n";
      return false;
    }
    std::string spelling;
    error = driver.LoadRegistered(name, layout, &spelling);
    problem = driver.problem();
  }
  if (error != ERROR_SUCCESS) {
    err << "station: cannot load keyboard layout " << name << ": " << nt::DescribeError(error);
    if (!problem.empty()) err << " (" << problem << ")";
    err << "\n";
    return false;
  }
  return true;
}

// A registered layout's text value, or empty.
std::string LayoutValue(const std::string& name, const char* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kLayoutsKey + name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return "";
  }
  char data[MAX_PATH + 1] = {};
  DWORD type = 0;
  DWORD size = MAX_PATH;
  const LONG result = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return "";
  return std::string(data, strnlen(data, std::min<DWORD>(size, MAX_PATH)));
}

int ShowSession(nt::kbd::KeyboardDriver& driver, std::ostream& out, std::ostream& err) {
  nt::kbd::KeyboardSession session;
  if (DWORD error = driver.Session(&session)) {
    err << "station: cannot read the keyboard session: " << nt::DescribeError(error) << "\n";
    return 1;
  }
  if (session.layouts.empty()) {
    out << "no keyboard layout is loaded\n";
    return 0;
  }
  for (const std::string& name : session.layouts) {
    out << (name == session.active ? "* " : "  ") << name;
    const std::string file = LayoutValue(name, "Layout File");
    const std::string text = LayoutValue(name, "Layout Text");
    if (!file.empty()) out << "  " << file;
    if (!text.empty()) out << "  " << text;
    out << "\n";
  }
  return 0;
}

int Load(const std::vector<std::string>& args, nt::kbd::KeyboardDriver& driver, std::ostream& out,
         std::ostream& err) {
  if (args.empty() || args.size() > 2) {
    err << "usage: station keyboard load NAME [FLAGS]\n";
    return 2;
  }
  UINT flags = KLF_ACTIVATE;
  if (args.size() == 2) {
    char* end = nullptr;
    flags = static_cast<UINT>(std::strtoul(args[1].c_str(), &end, 0));
    if (args[1].empty() || *end != '\0') {
      err << "station: \"" << args[1] << "\" is no flag value\n";
      return 2;
    }
  }
  HKL layout = nullptr;
  if (DWORD error = driver.Load(args[0], flags, &layout)) {
    err << "station: cannot load keyboard layout " << args[0] << ": " << nt::DescribeError(error);
    if (!driver.problem().empty()) err << " (" << driver.problem() << ")";
    err << "\n";
    return 1;
  }
  return ShowSession(driver, out, err);
}

int How(std::vector<std::string> args, nt::kbd::KeyboardDriver& driver, std::ostream& out, std::ostream& err) {
  std::optional<std::string> given;
  if (!TakeLayoutOption(args, &given, err)) return 2;
  const std::u16string character = args.size() == 1 ? nt::kbd::FromUtf8(args[0]) : u"";
  if (character.size() != 1) {
    err << "usage: station keyboard how [--layout FILE|NAME] CHAR  (one character)\n";
    return 2;
  }
  nt::kbd::Layout layout;
  if (!OpenLayout(given, driver, &layout, err)) return 1;
  const std::vector<nt::kbd::Way> ways = nt::kbd::WaysToType(layout, character[0]);
  if (ways.empty()) {
    err << "station: no key of this layout types " << args[0] << "\n";
    return 1;
  }
  for (const nt::kbd::Way& way : ways) {
    std::string line;
    std::string notes;
    for (const nt::kbd::Stroke& stroke : way) {
      if (!line.empty()) line += " ";
      line += nt::kbd::DescribeStroke(layout, stroke);
      bool numLock = false;
      if (!nt::kbd::ScanCodeFor(layout, stroke.vk, &numLock)) {
        notes += "  (no scan code yields " + nt::kbd::VirtualKeyName(stroke.vk) + ")";
      } else if (numLock) {
        notes += "  (with Num Lock)";
      }
    }
    out << line << notes << "\n";
  }
  return 0;
}

}  // namespace

int TypeCommand(const std::vector<std::string>& arguments, nt::kbd::KeyboardDriver& driver, std::ostream& out,
                std::ostream& err) {
  std::vector<std::string> args = arguments;
  std::optional<std::string> given;
  if (!TakeLayoutOption(args, &given, err)) return 2;
  if (args.empty()) {
    err << "usage: station type [--layout FILE|NAME] STROKE...\n";
    return 2;
  }
  for (const std::string& stroke : args) {
    std::string problem;
    if (!nt::kbd::ParseStroke(stroke, &problem)) {
      err << "station: " << problem << "\n";
      return 2;
    }
  }
  nt::kbd::Layout layout;
  if (!OpenLayout(given, driver, &layout, err)) return 1;
  std::u16string text;
  std::string problem;
  nt::kbd::TypeText(layout, args, &text, &problem);
  out << nt::kbd::ToUtf8(text) << "\n";
  return 0;
}

int KeyboardCommand(const std::vector<std::string>& args, nt::kbd::KeyboardDriver& driver, std::ostream& out,
                    std::ostream& err) {
  if (args.empty()) return ShowSession(driver, out, err);
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "load") return Load(rest, driver, out, err);
  if (args[0] == "how") return How(rest, driver, out, err);
  err << "usage: station keyboard [load NAME [FLAGS] | how [--layout FILE|NAME] CHAR]\n";
  return 2;
}

}  // namespace station
