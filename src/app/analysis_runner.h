#pragma once
// The work of the frame's Analysis menu: one analysis at a time, computed on a thread of its
// own while the dialogue goes on, its result shown on the GUI thread (the thread that runs
// Qt's event loop and owns the console) in a window of its own. The GUI thread never waits
// for the computation: starting returns at once, and the result arrives as a queued call.
// A start while an analysis runs (from the start until its window is shown) is refused with
// the reason, not queued.
//
// Shutting down (the frame closes) stops a computation in progress at its next parameter
// value or few thousand steps, waits for its thread, and shows nothing from then on; the
// destructor does the same.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/bifurcation.h"
#include "app/lyapunov.h"

namespace app {

class AnalysisRunner {
 public:
  AnalysisRunner();
  ~AnalysisRunner();
  AnalysisRunner(const AnalysisRunner&) = delete;
  AnalysisRunner& operator=(const AnalysisRunner&) = delete;

  // Why no analysis may start now; empty when one may.
  std::string refusal() const;
  // Starts a diagram of `width` x `height` pixels: empty when started, otherwise the refusal.
  std::string start_bifurcation(const BifurcationSettings& settings, int width, int height);
  // Starts a spectrum: empty when started, otherwise the refusal.
  std::string start_lyapunov(const OrbitSettings& settings);
  void shut_down();

  // True from a start until its result is shown (or the runner shut down).
  bool running() const;

 private:
  // What the GUI thread runs with the finished result.
  using Show = std::function<void()>;
  // The state shared with the queued result: it outlives the runner for a call still queued.
  struct Shared {
    std::atomic<bool> running{false};
    std::atomic<bool> stop{false};
    std::atomic<bool> shut_down{false};
    std::string what;  // the analysis running, for the refusal (GUI thread)
  };
  std::string start(std::string what, std::function<Show(const std::atomic<bool>& stop)> compute);

  std::shared_ptr<Shared> shared_;
  std::mutex worker_mutex_;
  std::thread worker_;
};

}  // namespace app
