#include "series_oracle.h"

#include <cmath>
#include <cstdio>

namespace e2e {
namespace {

void step(const SeriesRequest& r, std::vector<double>& s) {
  const double* p = r.parameters;
  const double x = s[0];
  const double y = s.size() > 1 ? s[1] : 0.0;
  switch (r.map_number) {
    case 1: s[0] = p[0] - x * x; break;
    case 2:
      s[0] = (p[1] * y - p[0] * x * x) + 1.0;
      s[1] = x;
      break;
    case 3:
      s[0] = (p[0] - x * x) + p[1] * (x * x - y * y);
      s[1] = (p[0] - y * y) + p[1] * (y * y - x * x);
      break;
    case 4:
      s[0] = (p[0] - x * x) + p[1] * (y - x);
      s[1] = (p[0] - y * y) + p[1] * (x - y);
      break;
    case 5: {
      const double e = std::exp(-p[1] / p[2]);
      s[0] = p[0] + (x * e) * std::cos(6.283185005187988 / ((p[3] * x + 1.0) * p[2]));
      break;
    }
  }
}

bool divergent(const std::vector<double>& s) {
  for (double v : s) {
    if (std::fabs(v) >= 1000.0) return true;
  }
  return false;
}

}  // namespace

std::string f20_10(double value) {
  char field[64];
  const int length = std::snprintf(field, sizeof field, "%20.10f", value);
  std::string text(field, static_cast<std::size_t>(length));
  if (text.size() > 20) return std::string(20, '*');
  // A value that rounds to zero is written without a minus sign.
  const std::size_t minus = text.find("-0.0000000000");
  if (minus != std::string::npos && text.size() == minus + 13) text[minus] = ' ';
  return text;
}

std::string expected_series_file(const SeriesRequest& request, const std::vector<double>& noise) {
  std::vector<double> state = request.x0;
  bool diverged = false;
  for (int i = 0; i < request.n_transient; ++i) {
    if (divergent(state)) {
      diverged = true;
    } else {
      step(request, state);
    }
  }
  if (diverged) return "";
  const int buffered = request.n_series < 100 ? request.n_series : 100;
  std::vector<double> values;
  values.push_back(state[request.record_variable - 1]);
  for (int m = 2; m <= buffered; ++m) {
    if (divergent(state)) {
      diverged = true;
    } else {
      step(request, state);
    }
    values.push_back(state[request.record_variable - 1]);
  }
  if (diverged) return "";
  for (int m = buffered + 1; m <= request.n_series; ++m) {
    if (divergent(state)) break;
    step(request, state);
    values.push_back(state[request.record_variable - 1]);
  }
  std::string file;
  for (std::size_t m = 0; m < values.size(); ++m) {
    file.append(f20_10(m < noise.size() ? values[m] + noise[m] : values[m])).append("\r\n");
  }
  return file;
}

}  // namespace e2e
