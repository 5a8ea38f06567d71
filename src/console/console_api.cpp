#include "console/console_api.h"

#include "console/palette.h"

namespace console {

namespace {

ConsoleCore* console_or_fail() {
  ConsoleCore* core = ConsoleCore::current();
  if (core == nullptr) set_graphics_status(kStatusFailure);
  return core;
}

}  // namespace

int set_window_size(std::int32_t unit, const WindowPosition& position) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->set_window_size(unit, position) : -1;
}

int set_active_window(std::int32_t unit) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->set_active_window(unit) : 0;
}

int display_cursor(int flag) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->display_cursor(flag) : -1;
}

std::int16_t set_color(std::int16_t index) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->set_color(index) : -1;
}

std::int32_t set_bk_color(std::int32_t index) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->set_bk_color(index) : -1;
}

std::int16_t set_text_color(std::int16_t index) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->set_text_color(index) : -1;
}

void clear_screen(std::int16_t area) {
  if (ConsoleCore* core = console_or_fail()) core->clear_screen(area);
}

std::int16_t get_graphics_status() { return graphics_status(); }

}  // namespace console
