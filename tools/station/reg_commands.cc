// station reg …: reading and changing the station's registry.
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "nt/errors.h"
#include "nt/reg_file.h"
#include "nt/registry.h"
#include "tools/station/command.h"

namespace station {
namespace {

constexpr char kKeyNames[] =
    "KEY is written HKEY_LOCAL_MACHINE\\... or HKLM\\..., HKEY_CURRENT_USER\\... or\n"
    "HKCU\\... (quote it for the shell).\n";

struct Key {
  HKEY root = nullptr;
  std::string path;
  std::string written;  // as the user wrote it, for messages
};

bool ParseKey(Invocation& invocation, const std::string& text, Key* key, int* status) {
  key->written = text;
  if (nt::ParseKeyName(text, &key->root, &key->path)) return true;
  *status = UsageError(invocation, "\"" + text + "\" is not a key of HKEY_LOCAL_MACHINE (HKLM) "
                                   "or HKEY_CURRENT_USER (HKCU)");
  return false;
}

int RegFailure(Invocation& invocation, const std::string& what, LONG code) {
  return Failure(invocation, what + ": " + nt::DescribeError(static_cast<DWORD>(code)));
}

const char* TypeName(DWORD type) {
  switch (type) {
    case REG_NONE: return "REG_NONE";
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_DWORD_BIG_ENDIAN: return "REG_DWORD_BIG_ENDIAN";
    case REG_LINK: return "REG_LINK";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_QWORD: return "REG_QWORD";
    default: return nullptr;
  }
}

// A value as `reg query` shows it: texts without their terminating zero,
// numbers in hexadecimal, anything else as hexadecimal bytes.
std::string ValueLine(const std::string& name, DWORD type, const std::string& data) {
  std::string line = "    " + (name.empty() ? std::string("(Default)") : name) + "    ";
  char buffer[32];
  if (const char* known = TypeName(type)) {
    line += known;
  } else {
    std::snprintf(buffer, sizeof buffer, "0x%x", type);
    line += buffer;
  }
  line += "    ";
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
    std::string text = data;
    if (!text.empty() && text.back() == '\0') text.pop_back();
    if (type == REG_MULTI_SZ && !text.empty() && text.back() == '\0') text.pop_back();
    for (char c : text) line += c == '\0' ? std::string("\\0") : std::string(1, c);
  } else if ((type == REG_DWORD && data.size() == 4) || (type == REG_QWORD && data.size() == 8)) {
    unsigned long long number = 0;
    for (size_t i = data.size(); i-- > 0;) number = number << 8 | static_cast<unsigned char>(data[i]);
    std::snprintf(buffer, sizeof buffer, "0x%llx", number);
    line += buffer;
  } else {
    for (unsigned char c : data) {
      std::snprintf(buffer, sizeof buffer, "%02X", c);
      line += buffer;
    }
  }
  return line;
}

// The value at `index`, its buffer grown to fit; ERROR_NO_MORE_ITEMS past the
// last.
LONG ReadValue(nt::Registry& registry, HKEY key, DWORD index, std::string* name, DWORD* type,
               std::string* data) {
  std::string nameBuffer(16384, '\0');
  data->resize(256);
  for (;;) {
    DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
    DWORD dataLength = static_cast<DWORD>(data->size());
    LONG rc = registry.EnumValue(key, index, nameBuffer.data(), &nameLength, type,
                                 reinterpret_cast<BYTE*>(data->data()), &dataLength);
    if (rc == ERROR_MORE_DATA && dataLength > data->size()) {
      data->resize(dataLength);
      continue;
    }
    if (rc != ERROR_SUCCESS) return rc;
    *name = nameBuffer.substr(0, nameLength);
    data->resize(dataLength);
    return ERROR_SUCCESS;
  }
}

int Query(Invocation& invocation) {
  if (invocation.args.empty() || invocation.args.size() > 2) {
    return UsageError(invocation, "query takes KEY and an optional VALUE");
  }
  Key key;
  int status = kOk;
  if (!ParseKey(invocation, invocation.args[0], &key, &status)) return status;
  auto host = OpenStation(invocation);
  if (!host) return kFailed;
  nt::Registry& registry = host->registry();

  std::string stored;
  if (LONG e = nt::StoredKeyPath(registry, key.root, key.path, &stored)) {
    return RegFailure(invocation, key.written, e);
  }
  HKEY handle = nullptr;
  if (LONG e = registry.OpenKey(key.root, key.path.c_str(), KEY_READ, &handle)) {
    return RegFailure(invocation, key.written, e);
  }
  const std::string full = nt::RootName(key.root) + (stored.empty() ? "" : "\\" + stored);
  std::ostringstream text;
  text << full << "\n";
  LONG rc = ERROR_SUCCESS;
  if (invocation.args.size() == 2) {
    // The one value: found by enumeration, so its name shows as stored.
    const std::string wanted = invocation.args[1];
    DWORD size = 0;
    rc = registry.QueryValue(handle, wanted.c_str(), nullptr, nullptr, &size);
    for (DWORD i = 0; rc == ERROR_SUCCESS; ++i) {
      std::string name, data;
      DWORD type = 0;
      rc = ReadValue(registry, handle, i, &name, &type, &data);
      if (rc == ERROR_SUCCESS && strcasecmp(name.c_str(), wanted.c_str()) == 0) {
        text << ValueLine(name, type, data) << "\n";
        break;
      }
    }
    if (rc != ERROR_SUCCESS) {
      registry.CloseKey(handle);
      return RegFailure(invocation, key.written + " value \"" + wanted + "\"", rc);
    }
  } else {
    bool any = false;
    for (DWORD i = 0;; ++i) {
      std::string name, data;
      DWORD type = 0;
      rc = ReadValue(registry, handle, i, &name, &type, &data);
      if (rc != ERROR_SUCCESS) break;
      text << ValueLine(name, type, data) << "\n";
      any = true;
    }
    if (rc == ERROR_NO_MORE_ITEMS) {
      if (any) text << "\n";
      char name[256];
      for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        rc = registry.EnumKey(handle, i, name, &length, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) break;
        text << full << "\\" << std::string(name, length) << "\n";
      }
    }
    if (rc != ERROR_NO_MORE_ITEMS) {
      registry.CloseKey(handle);
      return RegFailure(invocation, key.written, rc);
    }
  }
  registry.CloseKey(handle);
  invocation.out << text.str();
  return kOk;
}

// Writes `text` to `path` through a temporary file renamed into place.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error) {
  const std::string temp = path + ".tmp-" + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      *error = "cannot write " + temp;
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

int Export(Invocation& invocation) {
  if (invocation.args.empty() || invocation.args.size() > 2) {
    return UsageError(invocation, "export takes KEY and an optional FILE");
  }
  Key key;
  int status = kOk;
  if (!ParseKey(invocation, invocation.args[0], &key, &status)) return status;
  auto host = OpenStation(invocation);
  if (!host) return kFailed;
  std::string text;
  if (LONG e = nt::ExportRegFile(host->registry(), key.root, key.path, &text)) {
    return RegFailure(invocation, key.written, e);
  }
  if (invocation.args.size() == 1) {
    invocation.out << text;
    return kOk;
  }
  std::string error;
  if (!WriteFileAtomically(invocation.args[1], text, &error)) return Failure(invocation, error);
  return kOk;
}

int Import(Invocation& invocation) {
  if (invocation.args.size() != 1) return UsageError(invocation, "import takes one FILE");
  const std::string& file = invocation.args[0];
  std::string bytes;
  if (file == "-") {
    bytes.assign(std::istreambuf_iterator<char>(std::cin), {});
  } else {
    std::ifstream in(file, std::ios::binary);
    if (!in) return Failure(invocation, "cannot read " + file + ": " + std::strerror(errno));
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  // The whole file is read and checked before anything is applied.
  std::vector<nt::RegEdit> edits;
  std::string error;
  if (!nt::ParseRegFile(bytes, &edits, &error)) {
    return Failure(invocation, file + ": " + error + "; nothing was imported");
  }
  auto host = OpenStation(invocation);
  if (!host) return kFailed;
  if (nt::ApplyRegEdits(host->registry(), edits, &error) != ERROR_SUCCESS) {
    return Failure(invocation, file + ": " + error);
  }
  return kOk;
}

int Delete(Invocation& invocation) {
  if (invocation.args.empty() || invocation.args.size() > 2) {
    return UsageError(invocation, "delete takes KEY and an optional VALUE");
  }
  Key key;
  int status = kOk;
  if (!ParseKey(invocation, invocation.args[0], &key, &status)) return status;
  if (invocation.args.size() == 1 && key.path.empty()) {
    return Failure(invocation, key.written + ": a root key cannot be deleted");
  }
  auto host = OpenStation(invocation);
  if (!host) return kFailed;
  nt::Registry& registry = host->registry();
  if (invocation.args.size() == 1) {
    if (LONG e = nt::DeleteKeyTree(registry, key.root, key.path)) {
      return RegFailure(invocation, key.written, e);
    }
    return kOk;
  }
  HKEY handle = nullptr;
  if (LONG e = registry.OpenKey(key.root, key.path.c_str(), KEY_ALL_ACCESS, &handle)) {
    return RegFailure(invocation, key.written, e);
  }
  const LONG rc = registry.DeleteValue(handle, invocation.args[1].c_str());
  registry.CloseKey(handle);
  if (rc != ERROR_SUCCESS) {
    return RegFailure(invocation, key.written + " value \"" + invocation.args[1] + "\"", rc);
  }
  return kOk;
}

}  // namespace

Command RegCommands() {
  return {
      .name = "reg",
      .summary = "read and change the station's registry",
      .help = "Reads and changes the station's registry.\n" + std::string(kKeyNames),
      .subcommands =
          {
              {.name = "query",
               .arguments = "KEY [VALUE]",
               .summary = "show a key's values and subkeys, or one value",
               .help = "Shows the values of KEY in creation order, then its subkeys; or only\n"
                       "its VALUE (\"\" for the unnamed value).\n" +
                       std::string(kKeyNames),
               .run = Query},
              {.name = "export",
               .arguments = "KEY [FILE]",
               .summary = "write a key and everything below it as a REGEDIT4 file",
               .help = "Writes KEY, its values and all keys below it in REGEDIT4 form, in\n"
                       "enumeration order, to FILE or to standard output. Text that would not\n"
                       "read back byte for byte (no terminating zero) is written as hex(1):.\n" +
                       std::string(kKeyNames),
               .run = Export},
              {.name = "import",
               .arguments = "FILE",
               .summary = "apply a .reg file",
               .help = "Applies FILE (\"-\" for standard input): REGEDIT4, or \"Windows Registry\n"
                       "Editor Version 5.00\" in UTF-16LE with a byte-order mark. [-KEY] deletes\n"
                       "a key with everything below it, \"name\"=- a value. A malformed file is\n"
                       "refused with its line number and nothing of it is applied; each hive\n"
                       "takes its edits in one transaction.\n",
               .run = Import},
              {.name = "delete",
               .arguments = "KEY [VALUE]",
               .summary = "delete a key with everything below it, or one value",
               .help = "Deletes KEY with its values and all keys below it, or only its VALUE.\n" +
                       std::string(kKeyNames),
               .run = Delete},
          },
  };
}

}  // namespace station
