#include "runtime/io/file_names.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <string>

#include "runtime/support/environment.h"
#include "runtime/support/error_numbers.h"

namespace runtime {

namespace {

bool equals_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

struct DeviceEntry {
  std::string_view name;
  DeviceKind kind;
  std::string_view machine_path;  // printers, serial ports and the null device
  // With an extension only the console names and the printer and port names stay devices;
  // the others (USER, ERR, LINE, NUL) are then ordinary files.
  bool file_with_extension;
};

constexpr std::array<DeviceEntry, 17> kDevices{{
    {"CON", DeviceKind::ConsoleOutput, {}, false},
    {"CONOUT$", DeviceKind::ConsoleOutput, {}, false},
    {"CONIN$", DeviceKind::ConsoleInput, {}, false},
    {"ERR", DeviceKind::ConsoleError, {}, true},
    {"USER", DeviceKind::TextWindow, {}, true},
    {"PRN", DeviceKind::Printer, "/dev/lp0", false},
    {"LPT1", DeviceKind::Printer, "/dev/lp0", false},
    {"LPT2", DeviceKind::Printer, "/dev/lp1", false},
    {"LPT3", DeviceKind::Printer, "/dev/lp2", false},
    {"LPT4", DeviceKind::Printer, "/dev/lp3", false},
    {"COM2", DeviceKind::Printer, "/dev/ttyS1", false},
    {"COM3", DeviceKind::Printer, "/dev/ttyS2", false},
    {"COM4", DeviceKind::Printer, "/dev/ttyS3", false},
    {"COM1", DeviceKind::Serial, "/dev/ttyS0", false},
    {"AUX", DeviceKind::Serial, "/dev/ttyS0", false},
    {"LINE", DeviceKind::Serial, "/dev/ttyS0", true},
    {"NUL", DeviceKind::Null, "/dev/null", true},
}};

}  // namespace

std::string_view trim_file_name(std::string_view name) {
  while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.remove_suffix(1);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  return name;
}

std::optional<DeviceName> match_device_name(std::string_view name) {
  name = trim_file_name(name);
  if (name.find('/') != std::string_view::npos) return std::nullopt;
  std::string_view base = name;
  bool has_extension = false;
  if (std::size_t dot = name.find('.'); dot != std::string_view::npos && dot > 0) {
    base = name.substr(0, dot);
    has_extension = true;
  }
  for (const DeviceEntry& entry : kDevices) {
    if (!equals_ignoring_case(base, entry.name)) continue;
    if (has_extension && entry.file_with_extension) return std::nullopt;
    return DeviceName{entry.kind, entry.name, entry.machine_path};
  }
  return std::nullopt;
}

int expand_full_path(std::string_view name, std::string& full_path) {
  name = trim_file_name(name);
  if (name.empty() || name.find('\0') != std::string_view::npos) return kFileNameSpecificationError;
  if (name.size() > PATH_MAX) return kFileNameSpecificationError;
  std::string path(name);
  if (path.front() != '/') {
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) return kFileNameSpecificationError;
    std::string joined(cwd);
    if (joined.back() != '/') joined += '/';
    path = joined + path;
  }
  // Resolve the directory part so that the name reads as the file system knows it; the last
  // component is kept as written (the file may not exist yet).
  std::size_t slash = path.find_last_of('/');
  std::string directory = slash == 0 ? std::string("/") : path.substr(0, slash);
  std::string last = path.substr(slash + 1);
  if (!last.empty() && last != "." && last != "..") {
    char resolved[PATH_MAX];
    if (::realpath(directory.c_str(), resolved) != nullptr) {
      std::string joined(resolved);
      if (joined.back() != '/') joined += '/';
      path = joined + last;
    }
  }
  if (path.size() > kMaxFileNameLength) return kFileNameSpecificationError;
  full_path = std::move(path);
  return 0;
}

std::string_view reserved_unit_variable(std::int32_t unit) {
  switch (unit) {
    case -1: return "FOR_PRINT";
    case -2: return "FOR_TYPE";
    case -3: return "FOR_ACCEPT";
    case -4: return "FOR_READ";
    default: return {};
  }
}

DefaultConnection default_connection(std::int32_t unit) {
  using Kind = DefaultConnection::Kind;
  if (unit >= -4 && unit <= -1) {
    if (auto value = environment_value(reserved_unit_variable(unit))) {
      std::string_view name = trim_file_name(*value);
      if (!name.empty()) return {Kind::Named, std::string(name)};
    }
    return {unit <= -3 ? Kind::StandardInput : Kind::StandardOutput, {}};
  }
  if (auto value = environment_value("FORT" + std::to_string(unit))) {
    std::string_view name = trim_file_name(*value);
    if (!name.empty()) return {Kind::Named, std::string(name)};
  }
  switch (unit) {
    case 0: return {Kind::StandardError, {}};
    case 5: return {Kind::StandardInput, {}};
    case 6: return {Kind::StandardOutput, {}};
    default: return {Kind::Named, "fort." + std::to_string(unit)};
  }
}

}  // namespace runtime
