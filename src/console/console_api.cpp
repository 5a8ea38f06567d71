#include "console/console_api.h"

#include <cstdio>

#include "console/graphics_status.h"

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

bool delete_menu(int menu, int item) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr && core->delete_menu(menu, item);
}

void show_message(std::string_view text) {
  ConsoleCore* core = ConsoleCore::current();
  if (core == nullptr) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    return;
  }
  MessageBoxRequest request;
  request.caption = core->program_title();
  request.text = text;
  request.icon = MessageBoxIcon::Warning;
  core->ask(request);
}

std::int16_t get_graphics_status() { return graphics_status(); }

std::int16_t set_pixel(std::int16_t x, std::int16_t y) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->set_pixel(x, y) : -1;
}

void plot_pixel(std::int16_t x, std::int16_t y) {
  if (ConsoleCore* core = console_or_fail()) core->plot_pixel(x, y);
}

void flush_pixels() {
  if (ConsoleCore* core = ConsoleCore::current()) core->flush_pixels();
}

GraphicsPosition move_to(std::int16_t x, std::int16_t y, GraphicsPosition& previous) {
  ConsoleCore* core = console_or_fail();
  previous = core != nullptr ? core->move_to(x, y) : GraphicsPosition{};
  return previous;
}

std::int16_t line_to(std::int16_t x, std::int16_t y) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->line_to(x, y) : 0;
}

std::int16_t draw_rectangle(std::int16_t fill, std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->draw_rectangle(fill, x1, y1, x2, y2) : 0;
}

std::int16_t init_fonts() {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->init_fonts() : -1;
}

std::int16_t set_font(std::string_view specification) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->set_font(specification) : -1;
}

void draw_text(std::string_view text) {
  if (ConsoleCore* core = console_or_fail()) core->draw_text(text);
}

std::int32_t window_image_size(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->window_image_size(x1, y1, x2, y2) : -1;
}

std::int16_t capture_window_image(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                                  std::span<std::uint8_t> buffer) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->capture_window_image(x1, y1, x2, y2, buffer) : 0;
}

int save_unit_picture(std::int32_t unit, const std::string& path, PictureFormat format) {
  ConsoleCore* core = console_or_fail();
  if (core == nullptr) return kStatusFailure;
  const int window = core->window_of_unit(unit);
  if (window < 0) {
    set_graphics_status(kStatusFailure);
    return kStatusFailure;
  }
  return core->save_window_picture(window, path, format);
}

int save_window_picture(int index, const std::string& path, PictureFormat format) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->save_window_picture(index, path, format) : kStatusFailure;
}

namespace {

int open_own_window(std::string_view title, const WindowConfig& config) {
  ConsoleCore* core = console_or_fail();
  if (core == nullptr) return -1;
  WindowConfig titled = config;
  titled.set_title(title);
  return core->create_own_window(titled);
}

}  // namespace

int open_own_picture_window(std::string_view title, int width, int height) {
  WindowConfig config;
  config.pixels_x = static_cast<std::int16_t>(width);
  config.pixels_y = static_cast<std::int16_t>(height);
  return open_own_window(title, config);
}

int open_own_text_window(std::string_view title, int columns, int rows) {
  WindowConfig config;
  config.text_columns = static_cast<std::int16_t>(columns);
  config.text_rows = static_cast<std::int16_t>(rows);
  return open_own_window(title, config);
}

int exchange_active_window(int index) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->exchange_active_window(index) : 0;
}

long write_window_text(int index, std::string_view text) {
  ConsoleCore* core = console_or_fail();
  return core != nullptr ? core->write_text(index, text) : -1;
}

void finish_own_window(int index) {
  if (ConsoleCore* core = console_or_fail()) core->finish_own_window(index);
}

}  // namespace console
