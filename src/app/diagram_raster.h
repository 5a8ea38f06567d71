#pragma once
// The geometry of an orbit (bifurcation) diagram and its points as pixels: the frame inside a
// picture of a given size (room left for the title above and the labels below and to the
// left), the two axes (the parameter across, the recorded variable up), and a raster that
// marks which pixels inside the frame hold at least one point. The raster's memory depends
// on the picture's size only, not on how many points are added.

#include <cstdint>
#include <string>
#include <vector>

namespace app {

// The sizes a diagram picture may have, and the size it has unless asked otherwise.
inline constexpr int kSmallestDiagramWidth = 200;
inline constexpr int kSmallestDiagramHeight = 150;
inline constexpr int kLargestDiagramSide = 8000;
inline constexpr int kDefaultDiagramWidth = 800;
inline constexpr int kDefaultDiagramHeight = 600;

struct DiagramLayout {
  int width = kDefaultDiagramWidth;  // the whole picture
  int height = kDefaultDiagramHeight;
  // The frame: its border runs through these pixels; points lie strictly inside.
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  static DiagramLayout of_size(int width, int height);
  int inner_width() const { return right - left - 1; }
  int inner_height() const { return bottom - top - 1; }
};

// One axis: its range, never empty.
struct DiagramAxis {
  double low = 0.0;
  double high = 1.0;
  // The range from `a` to `b` in either order; a range of one value (or none, NaN) is
  // widened to one unit around it (around 0 for NaN).
  static DiagramAxis spanning(double a, double b);
  // The range widened outward to multiples of a round step, a hundredth of the range's
  // order of magnitude, so that its ends read as short labels (-1.99992 to 1.99998 becomes
  // -2 to 2).
  DiagramAxis rounded_out() const;
};

// The texts of a diagram.
struct DiagramLabels {
  std::string title;
  std::string parameter_name;  // under the parameter (horizontal) axis
  std::string variable_name;   // beside the value (vertical) axis
  std::string note;            // below the parameter's labels (points left out); may be empty
};

// A range end as an axis label: six significant digits, no trailing zeros ("0", "1.4",
// "-0.3", "1e-05").
std::string axis_number_text(double value);

class DiagramRaster {
 public:
  DiagramRaster() = default;
  DiagramRaster(const DiagramLayout& layout, const DiagramAxis& parameter, const DiagramAxis& value);

  // Marks the pixel of the point; a point outside the axes' ranges by more than half a pixel
  // (or NaN) is ignored.
  void add(double parameter, double value);
  // Whether the pixel (column 0..inner_width - 1 from the left, row 0..inner_height - 1 from
  // the top) holds a point.
  bool marked(int column, int row) const;
  std::int64_t marked_count() const { return marked_count_; }
  int columns() const { return columns_; }
  int rows() const { return rows_; }

 private:
  int columns_ = 0;
  int rows_ = 0;
  DiagramAxis parameter_;
  DiagramAxis value_;
  double column_scale_ = 0.0;
  double row_scale_ = 0.0;
  std::vector<bool> marks_;  // row by row
  std::int64_t marked_count_ = 0;
};

}  // namespace app
