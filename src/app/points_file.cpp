#include "app/points_file.h"

#include <cerrno>
#include <cstring>

namespace app {
namespace {

std::string failure(const std::string& what, const std::string& path, int error_number) {
  return what + " " + (path == "-" ? std::string("standard output") : path) + ": " + std::strerror(error_number);
}

}  // namespace

PointsFile::~PointsFile() {
  if (file_ != nullptr && !standard_output_) std::fclose(file_);
}

bool PointsFile::open(const std::string& path, std::string& error) {
  path_ = path;
  standard_output_ = path == "-";
  errno = 0;
  file_ = standard_output_ ? stdout : std::fopen(path.c_str(), "w");
  if (file_ == nullptr) {
    error = failure("cannot create the points file", path, errno != 0 ? errno : EIO);
    return false;
  }
  return true;
}

void PointsFile::write(double parameter, double value) {
  if (file_ == nullptr || first_error_ != 0) return;
  errno = 0;
  if (std::fprintf(file_, "%.12g %.12g\n", parameter, value) < 0) first_error_ = errno != 0 ? errno : EIO;
}

bool PointsFile::close(std::string& error) {
  if (file_ == nullptr) return first_error_ == 0;
  errno = 0;
  const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  if (!flushed && first_error_ == 0) first_error_ = errno != 0 ? errno : EIO;
  if (!standard_output_ && std::fclose(file_) != 0 && first_error_ == 0) first_error_ = errno != 0 ? errno : EIO;
  file_ = nullptr;
  if (first_error_ == 0) return true;
  error = failure("cannot write the points to", path_, first_error_);
  return false;
}

}  // namespace app
