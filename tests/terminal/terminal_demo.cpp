// A tiny program on the terminal presentation, for the tests: it uses the console's window
// services directly, as the formatted I/O runtime would.
//   terminal_demo dialogue [CODE]  two questions in "Input Window", then exit with CODE
//   terminal_demo file             asks for a file name (the blank-name OPEN's prompt)
//   terminal_demo bytes            writes carriage returns, tabs and a NUL to a window
//   terminal_demo error            shows a run-time error message, then ends with 64

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "console/console_window_services.h"
#include "terminal/terminal_entry.h"

namespace {

int dialogue(console::ConsoleWindowServices& services, int code) {
  const int window = services.create_window("Input Window", true);
  for (int i = 0; i < 2; ++i) {
    services.write_window(window, "\n Your answer? ");
    char buffer[1024];
    const long n = services.read_window_line(window, buffer, sizeof buffer);
    services.write_window(window, "\r\n");
    services.write_window(window, " Got [" + std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0) + "]");
  }
  services.write_window(window, "\r\n");
  return code;
}

int file(console::ConsoleWindowServices& services) {
  std::string name;
  const bool chosen = services.choose_file(1, name);
  const int window = services.create_window("Input Window", true);
  services.write_window(window, chosen ? " File [" + name + "]\r\n" : std::string(" Cancelled\r\n"));
  return 0;
}

int bytes(console::ConsoleWindowServices& services) {
  const int window = services.create_window("Input Window", true);
  services.write_window(window, "over\rwrite\r\n");
  services.write_window(window, "tab\there\r");
  services.write_window(window, "\nsplit line end\r");
  services.write_window(window, "\n");
  services.write_window(window, std::string("shown\0hidden\r\n", 14));
  return 0;
}

int error(console::ConsoleWindowServices& services) {
  services.show_runtime_error("Quillon run-time error ",
                              "duzevi: severe (64): input conversion error, unit 10, file user");
  return 64;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "dialogue";
  const int code = argc > 2 ? static_cast<int>(std::strtol(argv[2], nullptr, 10)) : 0;
  std::unique_ptr<console::ConsoleWindowServices> services;
  terminal::TerminalOptions options;
  auto prepare = [&](console::ConsoleCore& core) { services = std::make_unique<console::ConsoleWindowServices>(core); };
  auto program = [&]() -> int {
    if (mode == "file") return file(*services);
    if (mode == "bytes") return bytes(*services);
    if (mode == "error") return error(*services);
    return dialogue(*services, code);
  };
  return terminal::run_terminal(argc, argv, options, prepare, program);
}
