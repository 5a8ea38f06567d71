// fio_probe: runs one formatted statement of the I/O runtime from the command line, so the
// conversions can be checked from outside.
//
//   fio_probe write FORMAT ITEM...   one WRITE with an error branch to standard output, as to a
//                                    formatted sequential file (every record followed by
//                                    CR LF); then "status N" on standard error.
//   fio_probe read FORMAT TYPE...    one READ with an error branch from standard input; then
//                                    one line per item and "status N" on standard output.
//
// ITEM: i1:N i2:N i4:N i8:N (decimal), l4:T or l4:F, r4:X or r8:X (inf, -inf, nan allowed),
// a:TEXT. TYPE: i1 i2 i4 i8 l4 r4 r8 aN. Both modes exit 0 whatever the statement's status;
// a malformed command line prints the usage and exits 2.

#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/fio.h"

namespace {

constexpr std::int32_t kProbeUnit = 10;
constexpr std::size_t kMaxCharacterLength = 1 << 20;

int usage() {
  std::fputs(
      "usage: fio_probe write FORMAT ITEM...\n"
      "       fio_probe read FORMAT TYPE...\n"
      "  ITEM: i1:N i2:N i4:N i8:N l4:T l4:F r4:X r8:X a:TEXT  (X may be inf, -inf, nan)\n"
      "  TYPE: i1 i2 i4 i8 l4 r4 r8 aN\n",
      stderr);
  return 2;
}

// Storage for the values of one statement; a deque keeps addresses stable as it grows.
struct Values {
  std::deque<std::int8_t> i1;
  std::deque<std::int16_t> i2;
  std::deque<std::int32_t> i4;
  std::deque<std::int64_t> i8;
  std::deque<float> r4;
  std::deque<double> r8;
  std::deque<std::string> text;
};

template <typename T>
bool parse_integer(std::string_view text, T& value) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool parse_real(std::string_view text, double& value) {
  if (text == "inf" || text == "+inf") {
    value = std::numeric_limits<double>::infinity();
    return true;
  }
  if (text == "-inf") {
    value = -std::numeric_limits<double>::infinity();
    return true;
  }
  if (text == "nan") {
    value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  // Values beyond the range of a double are refused like any other malformed number.
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool parse_write_item(std::string_view argument, Values& values, std::vector<runtime::IoItem>& items) {
  std::size_t colon = argument.find(':');
  if (colon == std::string_view::npos) return false;
  std::string_view kind = argument.substr(0, colon);
  std::string_view text = argument.substr(colon + 1);
  if (kind == "i1") {
    std::int8_t v;
    if (!parse_integer(text, v)) return false;
    items.push_back(runtime::item(values.i1.emplace_back(v)));
  } else if (kind == "i2") {
    std::int16_t v;
    if (!parse_integer(text, v)) return false;
    items.push_back(runtime::item(values.i2.emplace_back(v)));
  } else if (kind == "i4") {
    std::int32_t v;
    if (!parse_integer(text, v)) return false;
    items.push_back(runtime::item(values.i4.emplace_back(v)));
  } else if (kind == "i8") {
    std::int64_t v;
    if (!parse_integer(text, v)) return false;
    items.push_back(runtime::item(values.i8.emplace_back(v)));
  } else if (kind == "l4") {
    if (text != "T" && text != "F") return false;
    items.push_back(runtime::logical_item(values.i4.emplace_back(text == "T" ? -1 : 0)));
  } else if (kind == "r4" || kind == "r8") {
    double v;
    if (!parse_real(text, v)) return false;
    if (kind == "r4") {
      if (std::isfinite(v) && std::fabs(v) > std::numeric_limits<float>::max()) return false;
      items.push_back(runtime::item(values.r4.emplace_back(static_cast<float>(v))));
    } else {
      items.push_back(runtime::item(values.r8.emplace_back(v)));
    }
  } else if (kind == "a") {
    const std::string& stored = values.text.emplace_back(text);
    items.push_back(runtime::item(std::string_view(stored)));
  } else {
    return false;
  }
  return true;
}

struct ReadTarget {
  char type;  // 'i', 'l', 'r', 'a'
  int size;
  runtime::IoItem item;
};

bool parse_read_type(std::string_view type, Values& values, std::vector<ReadTarget>& targets) {
  if (type == "i1") {
    targets.push_back({'i', 1, runtime::item(values.i1.emplace_back(0))});
  } else if (type == "i2") {
    targets.push_back({'i', 2, runtime::item(values.i2.emplace_back(0))});
  } else if (type == "i4") {
    targets.push_back({'i', 4, runtime::item(values.i4.emplace_back(0))});
  } else if (type == "i8") {
    targets.push_back({'i', 8, runtime::item(values.i8.emplace_back(0))});
  } else if (type == "l4") {
    targets.push_back({'l', 4, runtime::logical_item(values.i4.emplace_back(0))});
  } else if (type == "r4") {
    targets.push_back({'r', 4, runtime::item(values.r4.emplace_back(0.0f))});
  } else if (type == "r8") {
    targets.push_back({'r', 8, runtime::item(values.r8.emplace_back(0.0))});
  } else if (type.size() >= 2 && type.front() == 'a') {
    std::size_t length = 0;
    if (!parse_integer(type.substr(1), length) || length == 0 || length > kMaxCharacterLength) return false;
    std::string& stored = values.text.emplace_back(length, ' ');
    targets.push_back({'a', 0, runtime::item(stored.data(), stored.size())});
  } else {
    return false;
  }
  return true;
}

void print_value(const ReadTarget& target) {
  const runtime::IoItem& item = target.item;
  switch (target.type) {
    case 'i': {
      long long value = 0;
      if (target.size == 1) value = *static_cast<std::int8_t*>(item.address);
      if (target.size == 2) value = *static_cast<std::int16_t*>(item.address);
      if (target.size == 4) value = *static_cast<std::int32_t*>(item.address);
      if (target.size == 8) value = *static_cast<std::int64_t*>(item.address);
      std::printf("%lld\n", value);
      break;
    }
    case 'l': std::printf("%s\n", *static_cast<std::int32_t*>(item.address) != 0 ? "T" : "F"); break;
    case 'r': {
      double value = target.size == 4 ? static_cast<double>(*static_cast<float*>(item.address))
                                      : *static_cast<double*>(item.address);
      std::printf("%.17g\n", value);
      break;
    }
    default:
      std::printf("[");
      std::fwrite(item.address, 1, item.length, stdout);
      std::printf("]\n");
      break;
  }
}

int run_write(std::string_view format, int count, char** arguments) {
  Values values;
  std::vector<runtime::IoItem> items;
  for (int i = 0; i < count; ++i) {
    if (!parse_write_item(arguments[i], values, items)) return usage();
  }
  using runtime::Keyword;
  int status = runtime::open_unit(
      kProbeUnit, runtime::kErrorBranch,
      {runtime::keyword_text(Keyword::File, "CON"), runtime::keyword_text(Keyword::CarriageControl, "LIST")});
  if (status == 0) {
    status = runtime::write_formatted(kProbeUnit, runtime::kErrorBranch | runtime::kFormatInCharacterData,
                                      std::span<const runtime::IoItem>(items), runtime::FormatRef(format));
    // Output still buffered is written at CLOSE: its failure is the statement's outcome too.
    const int close_status = runtime::close_unit(kProbeUnit, runtime::kErrorBranch);
    if (status == 0) status = close_status;
  }
  std::fprintf(stderr, "status %d\n", status);
  return 0;
}

int run_read(std::string_view format, int count, char** arguments) {
  Values values;
  std::vector<ReadTarget> targets;
  for (int i = 0; i < count; ++i) {
    if (!parse_read_type(arguments[i], values, targets)) return usage();
  }
  std::vector<runtime::IoItem> items;
  for (const ReadTarget& target : targets) items.push_back(target.item);
  using runtime::Keyword;
  int status = runtime::open_unit(kProbeUnit, runtime::kErrorBranch, {runtime::keyword_text(Keyword::File, "CONIN$")});
  if (status == 0) {
    status = runtime::read_formatted(kProbeUnit, runtime::kErrorBranch | runtime::kFormatInCharacterData,
                                     std::span<const runtime::IoItem>(items), runtime::FormatRef(format));
    // Output still buffered is written at CLOSE: its failure is the statement's outcome too.
    const int close_status = runtime::close_unit(kProbeUnit, runtime::kErrorBranch);
    if (status == 0) status = close_status;
  }
  for (const ReadTarget& target : targets) print_value(target);
  std::printf("status %d\n", status);
  std::fflush(stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Output into a closed pipe is a failed WRITE (status 38), not the end of the probe.
  std::signal(SIGPIPE, SIG_IGN);
  if (argc < 3) return usage();
  std::string_view mode = argv[1];
  std::string_view format = argv[2];
  if (mode == "write") return run_write(format, argc - 3, argv + 3);
  if (mode == "read") return run_read(format, argc - 3, argv + 3);
  return usage();
}
