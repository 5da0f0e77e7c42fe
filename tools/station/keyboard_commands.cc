#include "tools/station/keyboard_commands.h"

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
bool TakeLayoutOption(Invocation& invocation, std::vector<std::string>& args, std::optional<std::string>* layout) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--layout") continue;
    if (i + 1 >= args.size()) {
      UsageError(invocation, "--layout needs a library file or a layout name");
      return false;
    }
    *layout = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return true;
  }
  return true;
}

// The layout to work with: a registered name, a library file, or the active layout.
bool OpenLayout(Invocation& invocation, const std::optional<std::string>& given, nt::kbd::KeyboardDriver& driver,
                nt::kbd::Layout* layout) {
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
      Failure(invocation, "there is no active keyboard layout: " + nt::DescribeError(error));
      return false;
    }
    std::string spelling;
    error = driver.LoadRegistered(name, layout, &spelling);
    problem = driver.problem();
  }
  if (error != ERROR_SUCCESS) {
    Failure(invocation, "cannot load keyboard layout " + name + ": " + nt::DescribeError(error) +
                            (problem.empty() ? "" : " (" + problem + ")"));
    return false;
  }
  return true;
}

int ShowSession(Invocation& invocation, nt::kbd::KeyboardDriver& driver) {
  std::ostream& out = invocation.out;
  nt::kbd::KeyboardSession session;
  if (DWORD error = driver.Session(&session)) {
    return Failure(invocation, "cannot read the keyboard session: " + nt::DescribeError(error));
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

int Load(Invocation& invocation, const std::vector<std::string>& args, nt::kbd::KeyboardDriver& driver) {
  if (args.empty() || args.size() > 2) return UsageError(invocation, "load takes a layout name and optional flags");
  UINT flags = KLF_ACTIVATE;
  if (args.size() == 2) {
    char* end = nullptr;
    flags = static_cast<UINT>(std::strtoul(args[1].c_str(), &end, 0));
    if (args[1].empty() || *end != '\0') return UsageError(invocation, "\"" + args[1] + "\" is no flag value");
  }
  HKL layout = nullptr;
  if (DWORD error = driver.Load(args[0], flags, &layout)) {
    return Failure(invocation, "cannot load keyboard layout " + args[0] + ": " + nt::DescribeError(error) +
                                   (driver.problem().empty() ? "" : " (" + driver.problem() + ")"));
  }
  return ShowSession(invocation, driver);
}

int How(Invocation& invocation, std::vector<std::string> args, nt::kbd::KeyboardDriver& driver) {
  std::optional<std::string> given;
  if (!TakeLayoutOption(invocation, args, &given)) return kUsage;
  const std::u16string character = args.size() == 1 ? nt::kbd::FromUtf8(args[0]) : u"";
  if (character.size() != 1) return UsageError(invocation, "how takes one character");
  nt::kbd::Layout layout;
  if (!OpenLayout(invocation, given, driver, &layout)) return kFailed;
  const std::vector<nt::kbd::Way> ways = nt::kbd::WaysToType(layout, character[0]);
  if (ways.empty()) return Failure(invocation, "no key of this layout types " + args[0]);
  std::ostream& out = invocation.out;
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

int RunType(Invocation& invocation, nt::kbd::KeyboardDriver& driver) {
  std::vector<std::string> args = invocation.args;
  std::optional<std::string> given;
  if (!TakeLayoutOption(invocation, args, &given)) return kUsage;
  if (args.empty()) return UsageError(invocation, "a stroke is missing");
  for (const std::string& stroke : args) {
    std::string problem;
    if (!nt::kbd::ParseStroke(stroke, &problem)) return UsageError(invocation, problem);
  }
  nt::kbd::Layout layout;
  if (!OpenLayout(invocation, given, driver, &layout)) return kFailed;
  std::u16string text;
  std::string problem;
  nt::kbd::TypeText(layout, args, &text, &problem);
  invocation.out << nt::kbd::ToUtf8(text) << "\n";
  return kOk;
}

int RunKeyboard(Invocation& invocation, nt::kbd::KeyboardDriver& driver) {
  const std::vector<std::string>& args = invocation.args;
  if (args.empty()) return ShowSession(invocation, driver);
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "load") return Load(invocation, rest, driver);
  if (args[0] == "how") return How(invocation, rest, driver);
  return UsageError(invocation, "no keyboard command \"" + args[0] + "\"");
}

namespace {

int Type(Invocation& invocation) {
  auto host = OpenStation(invocation);
  return host == nullptr ? kFailed : RunType(invocation, host->keyboard());
}

int Keyboard(Invocation& invocation) {
  auto host = OpenStation(invocation);
  return host == nullptr ? kFailed : RunKeyboard(invocation, host->keyboard());
}

}  // namespace

std::vector<Command> KeyboardCommands() {
  return {
      {.name = "type",
       .arguments = "[--layout FILE|NAME] STROKE...",
       .summary = "type strokes with a keyboard layout and print the characters",
       .help = "Types the strokes with the layout library FILE, the registered layout NAME\n"
               "(eight hexadecimal digits) or the active layout, and prints the characters\n"
               "produced as UTF-8 and a newline; control characters are printed as they are.\n"
               "A stroke is optional modifiers Shift, Ctrl, Alt, AltGr joined by \"+\", then\n"
               "a key: sc:XX, sc:e0:XX or sc:e1:XX (hexadecimal scan code, pressed and\n"
               "released), a virtual-key name such as VK_OEM_4, a letter A-Z or digit 0-9\n"
               "naming that virtual key, CapsLock or NumLock (each toggles its lock).\n"
               "Example: station type --layout romakeys.so AltGr+2 E\n",
       .run = Type},
      {.name = "keyboard",
       .arguments = "[load NAME [FLAGS] | how [--layout FILE|NAME] CHAR]",
       .summary = "show or change the user's keyboard layouts",
       .help = "Without arguments: the user's loaded layouts in order, the active one marked\n"
               "with \"*\", each with its layout file and text.\n"
               "load NAME [FLAGS]: LoadKeyboardLayoutA with FLAGS (default 1, KLF_ACTIVATE;\n"
               "KLF_UNLOADPREVIOUS 4, KLF_REORDER 8, KLF_REPLACELANG 16), then the layouts.\n"
               "how CHAR: every way to type CHAR, first the keys in table order, then the\n"
               "dead keys; each line can be given to \"station type\".\n",
       .run = Keyboard},
  };
}

}  // namespace station
