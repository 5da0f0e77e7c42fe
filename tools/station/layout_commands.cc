// The layout commands of the station tool:
//   station layout show NAME|FILE [--svg FILE] [--png FILE]
//   station layout export-xkb NAME|FILE [DIR]
// NAME is a registered layout (eight hexadecimal digits) or a library's name
// (romakeys: romakeys.so here or beside this program); FILE a library file.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "nt/errors.h"
#include "nt/keyboard/driver.h"
#include "nt/keyboard/library.h"
#include "tools/layout/svg_picture.h"
#include "tools/layout/text_picture.h"
#include "tools/layout/xkb_export.h"
#include "tools/station/command.h"
#include "tools/station/keyboard_commands.h"

extern char** environ;

namespace station {
namespace {

namespace fs = std::filesystem;

struct NamedLayout {
  nt::kbd::Layout layout;
  std::string name;   // for file names and keymap sections
  std::string title;  // for pictures
};

// A library named without a directory: as given, else NAME.so here, else beside this program.
std::string FindLibrary(const std::string& given) {
  std::error_code ec;
  if (fs::exists(given, ec) || given.find('/') != std::string::npos) return given;
  std::vector<fs::path> dirs{"."};
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) dirs.push_back(self.parent_path());
  for (const fs::path& dir : dirs) {
    for (const std::string& candidate : {given, given + ".so"}) {
      if (fs::is_regular_file(dir / candidate, ec)) return (dir / candidate).string();
    }
  }
  return given;
}

// Letters, digits, "_", "-" and "." only: the name goes into file names and keymap strings.
std::string SafeName(const std::string& name) {
  std::string safe;
  for (char c : name) safe += std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' ? c : '_';
  return safe.empty() ? "layout" : safe;
}

std::optional<NamedLayout> OpenNamedLayout(Invocation& invocation, const std::string& given) {
  NamedLayout named;
  DWORD error = ERROR_SUCCESS;
  std::string problem;
  if (nt::kbd::IsLayoutName(given)) {
    auto host = OpenStation(invocation);
    if (host == nullptr) return std::nullopt;
    std::string spelling;
    error = host->keyboard().LoadRegistered(given, &named.layout, &spelling);
    problem = host->keyboard().problem();
    if (error == ERROR_SUCCESS) {
      const std::string file = LayoutValue(spelling, "Layout File");
      const std::string text = LayoutValue(spelling, "Layout Text");
      named.name = SafeName(file.empty() ? spelling : fs::path(file).stem().string());
      named.title = spelling + (text.empty() ? "" : " " + text) + (file.empty() ? "" : " (" + file + ")");
    }
  } else {
    const std::string path = FindLibrary(given);
    error = nt::kbd::LoadLayoutLibrary(path, &named.layout, &problem);
    named.name = SafeName(fs::path(path).stem().string());
    named.title = named.name;
  }
  if (error != ERROR_SUCCESS) {
    Failure(invocation, "cannot load keyboard layout " + given + ": " + nt::DescribeError(error) +
                            (problem.empty() ? "" : " (" + problem + ")"));
    return std::nullopt;
  }
  return named;
}

// Writes `contents` to a new file beside `path` and renames it into place.
bool WriteAtomically(const fs::path& path, const std::string& contents, std::string* problem) {
  std::string temp = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
  if (path.parent_path().empty()) temp = "." + path.filename().string() + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    *problem = "cannot write " + path.string() + ": " + std::strerror(errno);
    return false;
  }
  size_t done = 0;
  while (done < contents.size()) {
    const ssize_t n = write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool written = done == contents.size() && fchmod(fd, 0644) == 0;
  const int saved = errno;
  if (close(fd) != 0 || !written || std::rename(temp.c_str(), path.c_str()) != 0) {
    *problem = "cannot write " + path.string() + ": " + std::strerror(written ? errno : saved);
    unlink(temp.c_str());
    return false;
  }
  return true;
}

// rsvg-convert turns `svg` into the PNG `png`.
bool ConvertToPng(const std::string& svg, const fs::path& png, std::string* problem) {
  std::string temp = (png.parent_path().empty() ? fs::path(".") : png.parent_path()) / ("." + png.filename().string() + ".XXXXXX");
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    *problem = "cannot write " + png.string() + ": " + std::strerror(errno);
    return false;
  }
  close(fd);
  std::string svgFile = temp + ".svg";
  std::string why;
  if (!WriteAtomically(svgFile, svg, &why)) {
    *problem = why;
    unlink(temp.c_str());
    return false;
  }
  std::vector<std::string> args{"rsvg-convert", "--zoom", "1.5", "--format", "png", "--output", temp, svgFile};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, "rsvg-convert", nullptr, nullptr, argv.data(), environ);
  int status = 0;
  if (spawned == 0) waitpid(child, &status, 0);
  unlink(svgFile.c_str());
  if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || chmod(temp.c_str(), 0644) != 0 ||
      std::rename(temp.c_str(), png.c_str()) != 0) {
    unlink(temp.c_str());
    *problem = spawned == ENOENT ? "rsvg-convert is not installed (Debian package librsvg2-bin)"
               : spawned != 0    ? std::string("cannot run rsvg-convert: ") + std::strerror(spawned)
                                 : "rsvg-convert could not make " + png.string();
    return false;
  }
  return true;
}

// Takes "OPTION VALUE" out of `args`; false (after a usage message) when VALUE is missing.
bool TakeOption(Invocation& invocation, std::vector<std::string>& args, const std::string& option,
                std::optional<std::string>* value) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != option) continue;
    if (i + 1 >= args.size()) {
      UsageError(invocation, option + " needs a file name");
      return false;
    }
    *value = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return true;
  }
  return true;
}

int Show(Invocation& invocation) {
  std::vector<std::string> args = invocation.args;
  std::optional<std::string> svg, png;
  if (!TakeOption(invocation, args, "--svg", &svg) || !TakeOption(invocation, args, "--png", &png)) return kUsage;
  if (args.size() != 1) return UsageError(invocation, "show takes one layout");
  const auto named = OpenNamedLayout(invocation, args[0]);
  if (!named) return kFailed;
  if (!svg && !png) {
    invocation.out << layout_tools::TextPicture(named->layout, named->title);
    return kOk;
  }
  const std::string picture = layout_tools::SvgPicture(named->layout, named->title);
  std::string problem;
  if (svg) {
    if (!WriteAtomically(*svg, picture, &problem)) return Failure(invocation, problem);
    invocation.out << "wrote " << *svg << "\n";
  }
  if (png) {
    if (!ConvertToPng(picture, *png, &problem)) return Failure(invocation, problem);
    invocation.out << "wrote " << *png << "\n";
  }
  return kOk;
}

int ExportXkb(Invocation& invocation) {
  const std::vector<std::string>& args = invocation.args;
  if (args.empty() || args.size() > 2) return UsageError(invocation, "export-xkb takes a layout and a directory");
  const auto named = OpenNamedLayout(invocation, args[0]);
  if (!named) return kFailed;
  const fs::path dir = args.size() == 2 ? args[1] : ".";
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) return Failure(invocation, "cannot make " + dir.string() + ": " + ec.message());
  const layout_tools::XkbExport exported = layout_tools::ExportXkb(named->layout, named->name);
  std::string problem;
  for (const auto& [file, contents] : {std::pair{dir / (named->name + ".xkb"), &exported.keymap},
                                       std::pair{dir / (named->name + ".XCompose"), &exported.compose}}) {
    if (!WriteAtomically(file, *contents, &problem)) return Failure(invocation, problem);
    invocation.out << "wrote " << file.string() << "\n";
  }
  for (const std::string& note : exported.notes) invocation.out << "note: " << note << "\n";
  return kOk;
}

}  // namespace

Command LayoutCommands() {
  return {
      .name = "layout",
      .summary = "show a keyboard layout or export it for XKB",
      .help = "Reads a layout library through KbdLayerDescriptor. NAME is a registered layout\n"
              "(eight hexadecimal digits) or a library's name (romakeys: romakeys.so in the\n"
              "current directory or beside this program); FILE is a library file.\n",
      .subcommands =
          {
              {.name = "show",
               .arguments = "NAME|FILE [--svg FILE] [--png FILE]",
               .summary = "draw the keyboard with the layout's characters",
               .help = "Draws the main block of a 102-key keyboard, each character key with its\n"
                       "Shift and Shift+AltGr characters above, base and AltGr below; a dead key\n"
                       "is followed by \"\u2022\". --svg writes the picture as SVG (dead keys in a colour\n"
                       "of their own), --png as PNG (through rsvg-convert) instead of printing it.\n",
               .run = Show},
              {.name = "export-xkb",
               .arguments = "NAME|FILE [DIR]",
               .summary = "write an XKB keymap and a Compose file for the layout",
               .help = "Writes DIR/NAME.xkb, a complete XKB keymap (keycodes of Linux's evdev, four\n"
                       "levels with the right Alt key as AltGr, Caps Lock as the layout has it),\n"
                       "and DIR/NAME.XCompose, the dead keys' compositions (DIR defaults to the\n"
                       "current directory). Load them with\n"
                       "  xkbcomp NAME.xkb $DISPLAY\n"
                       "  XCOMPOSEFILE=NAME.XCompose (or include it from ~/.XCompose)\n"
                       "Keys the keymap cannot hold, and accents without a dead keysym, are noted.\n",
               .run = ExportXkb},
          },
  };
}

}  // namespace station
