#include "app/analysis_runner.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <utility>

#include "app/analysis_windows.h"
#include "app/bifurcation_diagram.h"
#include "console/console_api.h"

namespace app {

AnalysisRunner::AnalysisRunner() : shared_(std::make_shared<Shared>()) {}

AnalysisRunner::~AnalysisRunner() { shut_down(); }

std::string AnalysisRunner::refusal() const {
  if (shared_->shut_down.load()) return "The program is ending: no analysis can start.";
  if (!shared_->running.load()) return {};
  return "An analysis is running (" + shared_->what +
         "). It runs one at a time: choose again once its window has appeared.";
}

bool AnalysisRunner::running() const { return shared_->running.load(); }

std::string AnalysisRunner::start(std::string what, std::function<Show(const std::atomic<bool>& stop)> compute) {
  if (std::string refused = refusal(); !refused.empty()) return refused;
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr) return "No event loop runs to show the result in.";
  std::lock_guard lock(worker_mutex_);
  // The thread of the analysis before has posted its result and is ending, if not gone.
  if (worker_.joinable()) worker_.join();
  shared_->what = std::move(what);
  shared_->running.store(true);
  worker_ = std::thread([shared = shared_, compute = std::move(compute), application] {
    Show show = compute(shared->stop);
    // Queued to the application object's thread, the GUI thread; a call still queued when
    // the application goes is dropped with it.
    QMetaObject::invokeMethod(
        application,
        [shared, show = std::move(show)] {
          if (shared->shut_down.load()) return;
          if (show) show();
          shared->running.store(false);
        },
        Qt::QueuedConnection);
  });
  return {};
}

std::string AnalysisRunner::start_bifurcation(const BifurcationSettings& settings, int width, int height) {
  return start("a bifurcation diagram", [settings, width, height](const std::atomic<bool>& stop) -> Show {
    auto diagram = std::make_shared<BifurcationDiagram>(compute_diagram(settings, width, height, {}, &stop));
    if (diagram->summary.stopped) return {};
    return [diagram] {
      if (show_diagram_window(*diagram) < 0)
        console::show_message("The bifurcation diagram cannot be shown: no window could be made for it.");
    };
  });
}

std::string AnalysisRunner::start_lyapunov(const OrbitSettings& settings) {
  return start("Lyapunov exponents", [settings](const std::atomic<bool>& stop) -> Show {
    const LyapunovSpectrum spectrum = lyapunov_spectrum(settings, &stop);
    if (spectrum.outcome == OrbitOutcome::Stopped) return {};
    return [settings, spectrum] {
      if (show_spectrum_window(settings, spectrum) < 0) {
        console::show_message("The Lyapunov exponents cannot be shown: no window could be made for them.");
      }
    };
  });
}

void AnalysisRunner::shut_down() {
  shared_->shut_down.store(true);
  shared_->stop.store(true);
  std::lock_guard lock(worker_mutex_);
  if (worker_.joinable()) worker_.join();
  shared_->running.store(false);
}

}  // namespace app
