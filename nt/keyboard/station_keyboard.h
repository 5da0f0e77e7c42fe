// The keyboard driver of a station, for a program to install as its keyboard
// service: the user's session lives in the user's hive of that station.
#pragma once

#include <string>

#include "nt/keyboard/driver.h"
#include "nt/keyboard/session_store.h"
#include "nt/station.h"

namespace nt::kbd {

class StationKeyboard {
 public:
  StationKeyboard(const StationPaths& station, const std::string& user)
      : store_(station.UserHive(user)), driver_(store_) {}
  StationKeyboard(const StationKeyboard&) = delete;
  StationKeyboard& operator=(const StationKeyboard&) = delete;

  KeyboardDriver& driver() { return driver_; }

 private:
  SqliteSessionStore store_;
  KeyboardDriver driver_;
};

}  // namespace nt::kbd
