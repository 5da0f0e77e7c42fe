// The station's hive files: SQLite databases in WAL mode, one per hive.
#pragma once

#include <string>

#include "nt/win32.h"

namespace nt {

// Makes an empty hive file at `path` with the given mode; fails when the file
// exists. ERROR_SUCCESS or the platform's code, with `error` saying what failed.
LONG CreateHiveFile(const std::string& path, unsigned mode, std::string* error);

// SQLite's integrity check on a hive file: true when it reports "ok";
// `report` receives what it said.
bool CheckHiveIntegrity(const std::string& path, std::string* report);

// Whether the process may write the hive file at `path`: the file and its
// directory, where SQLite keeps the write-ahead log.
bool HiveWritable(const std::string& path);

// The platform's code for a SQLite result code: the one place they are mapped.
DWORD ErrorFromSqlite(int result);

}  // namespace nt
