#include "app/diagram_drawing.h"

#include <cstdint>
#include <string_view>

#include "app/plot.h"
#include "console/console_api.h"

namespace app {
namespace {

constexpr int kDivisions = 10;
constexpr int kTickLength = 4;
// The label font's average character width and height ("h14w7"): labels are placed by them.
constexpr int kLabelCharWidth = 7;
constexpr int kLabelHeight = 14;
constexpr int kLabelGap = 6;
constexpr std::int16_t kWhite = 15;
constexpr std::int16_t kBlack = 0;

auto short_int(int value) { return static_cast<std::int16_t>(value); }

int text_width(std::string_view text) { return static_cast<int>(text.size()) * kLabelCharWidth; }

void draw_text_at(int x, int y, std::string_view text) {
  console::GraphicsPosition previous;
  console::move_to(short_int(x), short_int(y), previous);
  console::draw_text(text);
}

void draw_line(int x1, int y1, int x2, int y2) {
  console::GraphicsPosition previous;
  console::move_to(short_int(x1), short_int(y1), previous);
  console::line_to(short_int(x2), short_int(y2));
}

void draw_frame(const DiagramLayout& layout) {
  console::draw_rectangle(console::kBorderOnly, short_int(layout.left), short_int(layout.top), short_int(layout.right),
                          short_int(layout.bottom));
  const int dx = layout.right - layout.left;
  const int dy = layout.bottom - layout.top;
  // The ticks point outward, so that they hide no point near the edges.
  for (int k = 1; k < kDivisions; ++k) {
    const int x = layout.left + k * dx / kDivisions;
    draw_line(x, layout.bottom + 1, x, layout.bottom + kTickLength);
    const int y = layout.top + k * dy / kDivisions;
    draw_line(layout.left - kTickLength, y, layout.left - 1, y);
  }
}

void draw_labels(const DiagramLayout& layout, const DiagramAxis& parameter, const DiagramAxis& value,
                 const DiagramLabels& labels) {
  draw_text_at(layout.left, kLabelGap, labels.title);

  const int below = layout.bottom + kTickLength + kLabelGap / 2;
  const std::string parameter_low = axis_number_text(parameter.low);
  const std::string parameter_high = axis_number_text(parameter.high);
  draw_text_at(layout.left, below, parameter_low);
  draw_text_at((layout.left + layout.right - text_width(labels.parameter_name)) / 2, below, labels.parameter_name);
  draw_text_at(layout.right - text_width(parameter_high), below, parameter_high);
  if (!labels.note.empty()) draw_text_at(layout.left, below + kLabelHeight + kLabelGap / 2, labels.note);

  // The value labels end just left of the frame's ticks.
  const auto left_of = [&layout](std::string_view text) {
    return layout.left - kTickLength - kLabelGap - text_width(text);
  };
  const std::string value_low = axis_number_text(value.low);
  const std::string value_high = axis_number_text(value.high);
  draw_text_at(left_of(value_high), layout.top, value_high);
  draw_text_at(left_of(labels.variable_name), (layout.top + layout.bottom - kLabelHeight) / 2, labels.variable_name);
  draw_text_at(left_of(value_low), layout.bottom - kLabelHeight, value_low);
}

// Each column's runs of marked pixels as one line each, so that a chaotic band costs one
// call rather than one per pixel.
void draw_points(const DiagramLayout& layout, const DiagramRaster& raster) {
  for (int column = 0; column < raster.columns(); ++column) {
    const int x = layout.left + 1 + column;
    int row = 0;
    while (row < raster.rows()) {
      if (!raster.marked(column, row)) {
        ++row;
        continue;
      }
      const int first = row;
      while (row < raster.rows() && raster.marked(column, row)) ++row;
      const int y_first = layout.top + 1 + first;
      const int y_last = layout.top + row;  // the last marked row
      if (y_first == y_last) {
        console::set_pixel(short_int(x), short_int(y_first));
      } else {
        draw_line(x, y_first, x, y_last);
      }
    }
  }
}

}  // namespace

void draw_diagram(const DiagramLayout& layout, const DiagramAxis& parameter, const DiagramAxis& value,
                  const DiagramLabels& labels, const DiagramRaster& raster) {
  console::set_bk_color(kWhite);
  console::clear_screen(0);
  console::set_color(kBlack);
  console::init_fonts();
  console::set_font(kLabelFont);
  draw_frame(layout);
  draw_labels(layout, parameter, value, labels);
  draw_points(layout, raster);
}

}  // namespace app
