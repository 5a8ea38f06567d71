// Starting the console for a presentation (run_console in core_access.h).

#include <QCoreApplication>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <thread>

#include "console/console_core.h"
#include "console/core_access.h"

namespace console {

int run_console(Presentation& presentation, ConsoleStart start) {
  ConsoleOptions options;
  options.standard_units_use_default_window = start.standard_units_use_default_window;
  // The core outlives this call when the program thread is still running at the end.
  auto* core = new ConsoleCore(presentation, std::move(options));
  if (start.prepare_program) start.prepare_program(*core);
  if (start.prepare_presentation) start.prepare_presentation(*core);
  core->install();

  struct Completion {
    std::mutex mutex;
    std::condition_variable condition;
    bool done = false;
  };
  auto completion = std::make_shared<Completion>();
  std::thread program_thread([core, program = std::move(start.program), completion] {
    int code = 0;
    try {
      code = program ? program() : 0;
    } catch (const std::bad_alloc&) {
      core->show_error_box(ErrorBoxKind::Fatal, kErrorBoxOutOfMemory, "qwkinit", 311);
    } catch (...) {
      // An exception that escaped the program must not tear the process down unreported.
      core->show_error_box(ErrorBoxKind::Fatal, kErrorBoxInternalError, "qwkinit", 314);
    }
    if (!core->program_end_started()) core->end_program(code);
    {
      std::lock_guard lock(completion->mutex);
      completion->done = true;
    }
    completion->condition.notify_all();
  });

  const int exit_code = QCoreApplication::exec();

  // A program thread that is returning from the program end finishes at once; one that
  // waits for input or still computes does not.
  bool done = false;
  if (core->program_end_started()) {
    std::unique_lock lock(completion->mutex);
    done = completion->condition.wait_for(lock, std::chrono::seconds(2), [&] { return completion->done; });
  }
  if (done) {
    program_thread.join();
    core->uninstall();
    delete core;
    return exit_code;
  }
  program_thread.detach();
  std::fflush(nullptr);
  std::_Exit(exit_code);
}

}  // namespace console
