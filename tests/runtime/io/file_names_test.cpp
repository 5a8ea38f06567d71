// File names: device names and their extension rule, the default connection of each unit,
// full paths, and the operating system's errors.

#include <cerrno>
#include <string>

#include "io_test_support.h"
#include "runtime/io/file_names.h"
#include "runtime/io/os_errors.h"

namespace {

using runtime::DeviceKind;

struct DeviceCase {
  const char* name;
  bool is_device;
  DeviceKind kind;
  const char* machine_path;
};

TEST(DeviceNames, NamesWithAndWithoutExtensions) {
  const DeviceCase cases[] = {
      {"CON", true, DeviceKind::ConsoleOutput, ""},
      {"con", true, DeviceKind::ConsoleOutput, ""},
      {"con.txt", true, DeviceKind::ConsoleOutput, ""},
      {"  Con  ", true, DeviceKind::ConsoleOutput, ""},
      {"CONOUT$", true, DeviceKind::ConsoleOutput, ""},
      {"conin$.dat", true, DeviceKind::ConsoleInput, ""},
      {"ERR", true, DeviceKind::ConsoleError, ""},
      {"err.log", false, DeviceKind::RegularFile, ""},
      {"user", true, DeviceKind::TextWindow, ""},
      {"USER.TXT", false, DeviceKind::RegularFile, ""},
      {"line", true, DeviceKind::Serial, "/dev/ttyS0"},
      {"LINE.1", false, DeviceKind::RegularFile, ""},
      {"PRN", true, DeviceKind::Printer, "/dev/lp0"},
      {"lpt3.out", true, DeviceKind::Printer, "/dev/lp2"},
      {"COM1", true, DeviceKind::Serial, "/dev/ttyS0"},
      {"com4", true, DeviceKind::Printer, "/dev/ttyS3"},
      {"AUX", true, DeviceKind::Serial, "/dev/ttyS0"},
      {"nul", true, DeviceKind::Null, "/dev/null"},
      {"nul.txt", false, DeviceKind::RegularFile, ""},

      {"com1.txt", true, DeviceKind::Serial, "/dev/ttyS0"},
      {"aux.dat", true, DeviceKind::Serial, "/dev/ttyS0"},
      {"PRN.lst", true, DeviceKind::Printer, "/dev/lp0"},
      {"LPT5", false, DeviceKind::RegularFile, ""},
      {"console", false, DeviceKind::RegularFile, ""},
      {"dir/con", false, DeviceKind::RegularFile, ""},
      {"/tmp/CON", false, DeviceKind::RegularFile, ""},
      {".con", false, DeviceKind::RegularFile, ""},
      {"", false, DeviceKind::RegularFile, ""},
  };
  for (const DeviceCase& c : cases) {
    std::optional<runtime::DeviceName> device = runtime::match_device_name(c.name);
    EXPECT_EQ(device.has_value(), c.is_device) << c.name;
    if (device && c.is_device) {
      EXPECT_EQ(device->kind, c.kind) << c.name;
      EXPECT_EQ(device->machine_path, c.machine_path) << c.name;
    }
  }
}

TEST(FileNames, TrimmingStripsBlanksAndTrailingNuls) {
  const std::pair<std::string, std::string> cases[] = {
      {"  data.txt  ", "data.txt"},
      {std::string("data.txt\0\0", 10), "data.txt"},
      {std::string("a b\0 ", 5), "a b"},
      {"   ", ""},
      {"", ""},
  };
  for (const auto& [raw, trimmed] : cases) EXPECT_EQ(runtime::trim_file_name(raw), trimmed) << raw;
}

TEST(FileNames, FullPathsAndTheirLimits) {
  io_test::ScratchDirectory directory(true);
  std::string full;
  EXPECT_EQ(runtime::expand_full_path("series.dat", full), 0);
  EXPECT_EQ(full, directory.file("series.dat"));
  EXPECT_EQ(runtime::expand_full_path(directory.path() + "/./x/../series.dat", full), 0);
  EXPECT_EQ(full.front(), '/');

  struct LimitCase {
    std::string name;
    int error;
  };
  const LimitCase cases[] = {
      {std::string(300, 'a'), 43},
      {"/" + std::string(255, 'b'), 0},
      {"/" + std::string(256, 'b'), 43},
      {std::string("bad\0name", 8), 43},
      {"   ", 43},
  };
  for (const LimitCase& c : cases) {
    EXPECT_EQ(runtime::expand_full_path(c.name, full), c.error) << c.name.size();
  }
}

struct DefaultCase {
  std::int32_t unit;
  const char* variable;
  const char* value;
  runtime::DefaultConnection::Kind kind;
  const char* name;
};

TEST(FileNames, DefaultConnectionOfEachUnit) {
  using Kind = runtime::DefaultConnection::Kind;
  const DefaultCase cases[] = {
      {1, "FORT1", nullptr, Kind::Named, "fort.1"},         {1, "FORT1", "out.dat", Kind::Named, "out.dat"},
      {1, "FORT1", "   ", Kind::Named, "fort.1"},           {0, "FORT0", nullptr, Kind::StandardError, ""},
      {5, "FORT5", nullptr, Kind::StandardInput, ""},       {5, "FORT5", "answers.txt", Kind::Named, "answers.txt"},
      {6, "FORT6", nullptr, Kind::StandardOutput, ""},      {123456, "FORT123456", nullptr, Kind::Named, "fort.123456"},
      {-1, "FOR_PRINT", nullptr, Kind::StandardOutput, ""}, {-1, "FOR_PRINT", "print.txt", Kind::Named, "print.txt"},
      {-2, "FOR_TYPE", nullptr, Kind::StandardOutput, ""},  {-3, "FOR_ACCEPT", nullptr, Kind::StandardInput, ""},
      {-4, "FOR_READ", nullptr, Kind::StandardInput, ""},   {-4, "FOR_READ", " in.txt ", Kind::Named, "in.txt"},
  };
  for (const DefaultCase& c : cases) {
    io_test::EnvironmentVariable variable(c.variable, c.value ? std::optional<std::string>(c.value) : std::nullopt);
    runtime::DefaultConnection connection = runtime::default_connection(c.unit);
    EXPECT_EQ(connection.kind, c.kind) << c.unit << " " << (c.value ? c.value : "");
    if (c.kind == Kind::Named) {
      EXPECT_EQ(connection.name, c.name) << c.unit;
    }
  }
}

TEST(OperatingSystemErrors, OpenFailuresInBothNumberings) {
  struct Case {
    int errno_value;
    int error;
    int compatibility;
  };
  const Case cases[] = {
      {ENOENT, 29, 602}, {EMFILE, 30, 603}, {ENFILE, 30, 603}, {EACCES, 9, 600},  {EPERM, 9, 600},
      {EROFS, 9, 600},   {ENXIO, 42, 42},   {ENODEV, 42, 42},  {EEXIST, 10, 601}, {ENAMETOOLONG, 43, 43},
      {ENOTDIR, 43, 43}, {EINVAL, 43, 43},  {EIO, 30, 30},     {ENOSPC, 30, 30},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(runtime::open_failure_error(c.errno_value, false), c.error) << c.errno_value;
    EXPECT_EQ(runtime::open_failure_error(c.errno_value, true), c.compatibility) << c.errno_value;
  }
}

}  // namespace
