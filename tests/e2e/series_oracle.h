#pragma once
// An independent model of a recording: the file a recording must write, from
// the map's formulas written out again here, the divergence rules and printf's exact
// decimal rounding for the (F20.10) field.

#include <string>
#include <vector>

namespace e2e {

struct SeriesRequest {
  int map_number;
  double parameters[4];
  std::vector<double> x0;
  int record_variable;  // 1 or 2
  int n_transient;
  int n_series;
};

// The bytes of the series file: one 20-character field and CR LF per record; noise[m - 1],
// when given, is added to record m.
std::string expected_series_file(const SeriesRequest& request, const std::vector<double>& noise = {});

// One value as (F20.10) writes it.
std::string f20_10(double value);

}  // namespace e2e
