// Registry files (.reg): the text form of keys and values that the station
// tool imports and exports, and that seeds a new station.
//
// Import reads "REGEDIT4" files and "Windows Registry Editor Version 5.00"
// files (UTF-16LE with a byte-order mark): [KEY] and [-KEY] lines, values as
// "name"="text", "name"=dword:hhhhhhhh, "name"=hex:..., "name"=hex(n):... (hex
// data may continue on the next line after a backslash), "name"=- to delete,
// @ for the unnamed value. Text in a version 5 file, and the data of its
// hex(1), hex(2) and hex(7) values, become UTF-8.
// Export writes REGEDIT4 with keys and values in enumeration order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "nt/registry.h"

namespace nt {

struct RegEdit {
  enum class Kind { kCreateKey, kDeleteKey, kSetValue, kDeleteValue };
  Kind kind = Kind::kCreateKey;
  HKEY root = nullptr;
  std::string path;
  std::string name;
  DWORD type = REG_NONE;
  std::string data;
  int line = 0;
};

// The edits a file asks for, in file order. False for a malformed file, with
// `error` = "line N: what is wrong" and *errorLine = N.
bool ParseRegFile(std::string_view bytes, std::vector<RegEdit>* edits, std::string* error,
                  int* errorLine = nullptr);

// Applies parsed edits, one transaction per hive: a hive gets all of its
// edits or none. Deleting what is not there is no error.
LONG ApplyRegEdits(Registry& registry, const std::vector<RegEdit>& edits, std::string* error);

// The REGEDIT4 text of `path` under `root` and everything below it.
LONG ExportRegFile(Registry& registry, HKEY root, const std::string& path, std::string* text);

}  // namespace nt
