#include "app/diagram_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace app {
namespace {

// Room around the frame: the title above, the parameter's labels below, the variable's
// labels to the left (ten characters of the label font), a little to the right.
constexpr int kLeftMargin = 80;
constexpr int kTopMargin = 36;
constexpr int kRightMargin = 24;
constexpr int kBottomMargin = 44;

}  // namespace

DiagramLayout DiagramLayout::of_size(int width, int height) {
  DiagramLayout layout;
  layout.width = width;
  layout.height = height;
  layout.left = kLeftMargin;
  layout.top = kTopMargin;
  layout.right = width - 1 - kRightMargin;
  layout.bottom = height - 1 - kBottomMargin;
  return layout;
}

DiagramAxis DiagramAxis::spanning(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return DiagramAxis{-0.5, 0.5};
  const double low = std::min(a, b);
  const double high = std::max(a, b);
  if (low < high) return DiagramAxis{low, high};
  return DiagramAxis{low - 0.5, high + 0.5};
}

DiagramAxis DiagramAxis::rounded_out() const {
  const double span = high - low;
  if (!(span > 0.0) || !std::isfinite(span)) return *this;
  const double step = std::pow(10.0, std::floor(std::log10(span)) - 1.0);
  // An end that is a multiple of the step already stays (1.1 / 0.1 is 11.000000000000002);
  // the sliver it may then lie inside the data's range is far less than a pixel.
  constexpr double kSlack = 1e-9;
  const DiagramAxis rounded{std::floor(low / step + kSlack) * step, std::ceil(high / step - kSlack) * step};
  return std::isfinite(rounded.low) && std::isfinite(rounded.high) && rounded.low < rounded.high ? rounded : *this;
}

std::string axis_number_text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value == 0.0 ? 0.0 : value);  // no "-0"
  return text;
}

DiagramRaster::DiagramRaster(const DiagramLayout& layout, const DiagramAxis& parameter, const DiagramAxis& value)
    : columns_(std::max(layout.inner_width(), 1)),
      rows_(std::max(layout.inner_height(), 1)),
      parameter_(parameter),
      value_(value),
      column_scale_(static_cast<double>(columns_ - 1) / (parameter.high - parameter.low)),
      row_scale_(static_cast<double>(rows_ - 1) / (value.high - value.low)),
      marks_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), false) {}

void DiagramRaster::add(double parameter, double value) {
  // The offsets from the low ends in pixels; a pixel takes what lies within half a pixel of
  // its centre. The tests are written so that NaN (a point that is NaN, or a range too wide
  // for a double) fails them.
  const double across = (parameter - parameter_.low) * column_scale_;
  const double up = (value - value_.low) * row_scale_;
  if (!(across >= -0.5 && across < static_cast<double>(columns_) - 0.5)) return;
  if (!(up >= -0.5 && up < static_cast<double>(rows_) - 0.5)) return;
  const auto column = static_cast<int>(std::lround(across));
  // Row 0 is the top: the largest values.
  const int row = rows_ - 1 - static_cast<int>(std::lround(up));
  auto mark =
      marks_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column)];
  if (!mark) {
    mark = true;
    ++marked_count_;
  }
}

bool DiagramRaster::marked(int column, int row) const {
  if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return false;
  return marks_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column)];
}

}  // namespace app
