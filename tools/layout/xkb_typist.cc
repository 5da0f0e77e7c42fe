#include "tools/layout/xkb_typist.h"

#include <cstdarg>
#include <cstdio>

namespace layout_tools {
namespace {

void Log(xkb_context* context, xkb_log_level, const char* format, va_list args) {
  auto* log = static_cast<std::string*>(xkb_context_get_user_data(context));
  char line[1024];
  std::vsnprintf(line, sizeof line, format, args);
  *log += line;
}

}  // namespace

std::unique_ptr<XkbTypist> XkbTypist::Create(const std::string& keymap, const std::string& composePath,
                                             std::string* problem, std::string* warnings) {
  std::unique_ptr<XkbTypist> typist(new XkbTypist);
  typist->context_ = xkb_context_new(
      static_cast<xkb_context_flags>(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
  if (typist->context_ == nullptr) {
    *problem = "cannot make an xkb context";
    return nullptr;
  }
  xkb_context_set_user_data(typist->context_, &typist->log_);
  xkb_context_set_log_fn(typist->context_, Log);
  xkb_context_set_log_level(typist->context_, XKB_LOG_LEVEL_WARNING);
  typist->keymap_ = xkb_keymap_new_from_string(typist->context_, keymap.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                               XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (typist->keymap_ == nullptr) {
    *problem = "the keymap does not compile: " + typist->log_;
    return nullptr;
  }
  FILE* file = std::fopen(composePath.c_str(), "r");
  if (file == nullptr) {
    *problem = "cannot open " + composePath;
    return nullptr;
  }
  typist->table_ = xkb_compose_table_new_from_file(typist->context_, file, "C", XKB_COMPOSE_FORMAT_TEXT_V1,
                                                   XKB_COMPOSE_COMPILE_NO_FLAGS);
  std::fclose(file);
  if (typist->table_ == nullptr) {
    *problem = "the Compose file does not compile: " + typist->log_;
    return nullptr;
  }
  typist->state_ = xkb_state_new(typist->keymap_);
  typist->compose_ = xkb_compose_state_new(typist->table_, XKB_COMPOSE_STATE_NO_FLAGS);
  if (typist->state_ == nullptr || typist->compose_ == nullptr) {
    *problem = "cannot make the keyboard state";
    return nullptr;
  }
  if (warnings != nullptr) *warnings = typist->log_;
  return typist;
}

XkbTypist::~XkbTypist() {
  xkb_compose_state_unref(compose_);
  xkb_compose_table_unref(table_);
  xkb_state_unref(state_);
  xkb_keymap_unref(keymap_);
  xkb_context_unref(context_);
}

void XkbTypist::Key(xkb_keycode_t keycode, bool down, std::string* out) {
  if (!down) {
    xkb_state_update_key(state_, keycode, XKB_KEY_UP);
    return;
  }
  const xkb_keysym_t keysym = xkb_state_key_get_one_sym(state_, keycode);
  if (keysym != XKB_KEY_NoSymbol &&
      xkb_compose_state_feed(compose_, keysym) == XKB_COMPOSE_FEED_ACCEPTED) {
    char text[64];
    switch (xkb_compose_state_get_status(compose_)) {
      case XKB_COMPOSE_COMPOSING:
        pending_ = keysym;
        break;
      case XKB_COMPOSE_COMPOSED:
        xkb_compose_state_get_utf8(compose_, text, sizeof text);
        *out += text;
        xkb_compose_state_reset(compose_);
        pending_ = XKB_KEY_NoSymbol;
        break;
      case XKB_COMPOSE_CANCELLED:
        xkb_compose_state_reset(compose_);
        pending_ = XKB_KEY_NoSymbol;
        break;
      case XKB_COMPOSE_NOTHING:
        xkb_state_key_get_utf8(state_, keycode, text, sizeof text);
        *out += text;
        break;
    }
  }
  xkb_state_update_key(state_, keycode, XKB_KEY_DOWN);
}

void XkbTypist::Reset() {
  xkb_state_unref(state_);
  state_ = xkb_state_new(keymap_);
  xkb_compose_state_reset(compose_);
  pending_ = XKB_KEY_NoSymbol;
}

}  // namespace layout_tools
