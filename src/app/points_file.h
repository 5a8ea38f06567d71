#pragma once
// A text file of a diagram's points, two columns per line: the parameter value and the
// variable's value, separated by a blank, each with twelve significant digits, lines ended
// by LF. The name "-" is standard output. Every failure (the file cannot be created, a write
// or the close fails) is remembered and told by close().

#include <cstdio>
#include <string>

namespace app {

class PointsFile {
 public:
  PointsFile() = default;
  ~PointsFile();
  PointsFile(const PointsFile&) = delete;
  PointsFile& operator=(const PointsFile&) = delete;

  // Creates (or empties) the file; false with a one-line `error` naming it.
  bool open(const std::string& path, std::string& error);
  void write(double parameter, double value);
  // Writes out what is buffered and closes the file: false with a one-line `error` when any
  // write failed.
  bool close(std::string& error);

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  bool standard_output_ = false;
  int first_error_ = 0;  // errno of the first failed write, 0 none
};

}  // namespace app
