#pragma once
// Runs the built explorer as a child process: standard input fed from a string (then closed,
// or kept open, or closed from the start), standard output and standard error collected, a
// change made and a signal sent at a point of the run, a file size limit, and a time limit
// that kills a child which hangs. Also the conditions that mark such points: a question
// waited at, a file grown past a size.

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

struct ExplorerRun {
  std::string out;
  std::string err;
  int exit_status = -1;    // the exit status, or -1 when the child did not exit by itself
  int signal_number = 0;   // the signal that ended the child, if any
  bool timed_out = false;  // killed after the time limit
};

struct ExplorerOptions {
  std::string program;  // empty: the explorer under test
  std::vector<std::string> arguments;
  std::string input;
  std::string working_directory;                                 // empty: the test's own
  std::vector<std::pair<std::string, std::string>> environment;  // added or replaced
  std::chrono::seconds time_limit{120};
  // Keep standard input open after `input` (the child sees no end of file; it is killed at
  // the time limit unless it ends by itself).
  bool keep_input_open = false;
  // Start the child with its standard input descriptor closed (as `0<&-` does).
  bool input_descriptor_closed = false;
  // Once `act_when` holds (it is asked with the standard output so far, at least every
  // 100 ms): run `action` if given (a change under the running child, such as removing its
  // directory), then, if `signal_number` is not 0, send it to the child and close the child's
  // standard input right after (as a closing terminal or a pipeline does).
  std::function<bool(const std::string& output)> act_when;
  std::function<void()> action;
  int signal_number = 0;
  // The child's file size limit in bytes, with SIGXFSZ ignored, so that a write past it
  // fails with EFBIG (as after `trap '' XFSZ; ulimit -f`); 0: no limit set.
  unsigned long file_size_limit = 0;
};

// A condition for `act_when`: true once `question` has been on standard output for
// `wait` (the explorer then waits in the read, with its reader of standard input waiting too).
std::function<bool(const std::string& output)> question_waited_for(const std::string& question,
                                                                   std::chrono::milliseconds wait);

// A condition for `act_when`: true once the file at `path` holds more than `bytes`.
std::function<bool(const std::string& output)> file_grown_past(const std::string& path, long bytes);

// The path of the explorer under test.
std::string explorer_path();

ExplorerRun run_explorer(const ExplorerOptions& options);

class TemporaryDirectory;
// The explorer run in `directory` with `arguments` and `input` on standard input.
ExplorerRun run_explorer_in(const TemporaryDirectory& directory, std::vector<std::string> arguments,
                            const std::string& input = "");

// A fresh empty directory under the system's temporary directory, removed with its files
// when the object goes.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
// The lines of `text` split at "\n" (a final line without "\n" included).
std::vector<std::string> split_lines(const std::string& text);

}  // namespace e2e
