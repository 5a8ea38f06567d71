// One Henon recording with its plot against a plain loop, in one process: the map
// (a = 1.4, b = 0.3, x0 = y0 = 0.1, Ntrans = 1000) recorded for N = 999999 points by
// record_series on a program thread of a console core (the series written under (F20.10) to
// a file, every point plotted into the "Graphics" window), while the GUI thread takes the
// changed area about 60 times a second as painting would; beside it, in the same run, the
// same series computed and written with std::to_chars + fwrite on the same thread. Also
// times the recording without the plot and bare loops of set_pixel and of plot_pixel calls
// at the attractor's pixels. Prints nanoseconds per plotted point (target: <= 10 in the
// recording) and the ratio of the recording with the plot to the plain loop (target: <= 1.2).
// The plain loop is the plain program's (henon_plain_loop.h: one 1 MiB buffer), so the ratio
// here and the one of recording_three_way.sh compare against the same loop. Each way runs
// several times, alternating; the best and the median runs are compared. Times are the
// program thread's processor time and the wall clock.

#include <QGuiApplication>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/dialogue_state.h"
#include "app/plot.h"
#include "app/recording.h"
#include "console/console_api.h"
#include "console/console_core.h"
#include "console/console_window_services.h"
#include "runtime/fio.h"

#include "henon_plain_loop.h"

namespace {

constexpr int kRepetitions = 7;
constexpr int kSeriesLength = 999999;

// A presentation that shows nothing; repaint requests are taken by the painter below.
class QuietPresentation final : public console::Presentation {
 public:
  void window_event(int, console::WindowEvent) override {}
  void status_changed() override {}
  void text_written(int, std::string_view, console::TextOrigin) override {}
  void beep() override {}
  void close_frame() override {}
  console::MessageBoxAnswer message_box(const console::MessageBoxRequest& request) override {
    std::fprintf(stderr, "%s: %s\n", request.caption.c_str(), request.text.c_str());
    return request.default_answer;
  }
  bool choose_file(const console::FileDialogRequest&, std::string&) override { return false; }
};

struct Times {
  double processor = 0.0;
  double wall = 0.0;
};

double thread_seconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs `work` on a program thread and measures it there, while this (the GUI) thread takes
// the changed area of the window `painted` about every 16 ms.
Times on_program_thread(console::ConsoleCore& core, const std::function<int()>& painted,
                        const std::function<void()>& work) {
  Times times;
  std::atomic<bool> done{false};
  std::thread program([&] {
    const auto start = std::chrono::steady_clock::now();
    const double processor_start = thread_seconds();
    work();
    times.processor = thread_seconds() - processor_start;
    times.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    done = true;
  });
  while (!done) {
    const int window = painted();
    if (window > 0) {
      core.with_surface(window, [](const QImage& surface, const QRect& dirty) {
        // Read what changed, as a paint would copy it to the screen.
        volatile std::uint32_t sum = 0;
        for (int y = dirty.top(); y <= dirty.bottom(); y += 8) sum = sum + surface.pixel(dirty.left(), y);
      });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(16));
  }
  program.join();
  return times;
}

void open_series_file(const std::string& path) {
  if (runtime::open_unit(app::kSeriesUnit, runtime::kErrorBranch,
                         {runtime::keyword_text(runtime::Keyword::File, path),
                          runtime::keyword_text(runtime::Keyword::Status, "REPLACE")}) != 0) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    std::exit(1);
  }
}

void henon_settings(app::DialogueState& state) {
  state.map_number = 2;
  state.nvar = 2;
  state.parameters.p1 = 1.4;
  state.parameters.p2 = 0.3;
  if (!state.x0.allocated()) state.x0.allocate(2);
  if (!state.working_state.allocated()) state.working_state.allocate(2);
  state.x0[0] = 0.1;
  state.x0[1] = 0.1;
  state.record_variable = 1;
  state.n_transient = 1000;
  state.n_series = kSeriesLength;
  state.add_noise = false;
}

// The same series by a plain loop: the map stepped and each value written with to_chars.
void plain_loop(const std::string& path) {
  if (!bench::write_plain_series(path, 1000, kSeriesLength)) std::exit(1);
}

// The upper-panel pixels of the recording's points, in series order (for the bare loop).
std::vector<app::PixelPoint> attractor_pixels() {
  std::vector<double> xs;
  std::vector<double> ys;
  bench::HenonOrbit orbit = bench::henon_after_transient(1000);
  for (int m = 1; m <= kSeriesLength; ++m) {
    if (m > 1) orbit.step();
    xs.push_back(orbit.x);
    ys.push_back(orbit.y);
  }
  const auto [x_low, x_high] = std::minmax_element(xs.begin(), xs.begin() + 100);
  const auto [y_low, y_high] = std::minmax_element(ys.begin(), ys.begin() + 100);
  const double dx = (*x_high - *x_low) * 0.1;
  const double dy = (*y_high - *y_low) * 0.1;
  const app::AxisScale horizontal = app::AxisScale::of(*x_low - dx, dx + *x_high);
  const app::AxisScale vertical = app::AxisScale::of(*y_low - dy, dy + *y_high);
  std::vector<app::PixelPoint> pixels;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    if (const auto p = app::upper_panel_point(xs[i], ys[i], horizontal, vertical)) {
      pixels.push_back(*p);
    }
  }
  return pixels;
}

double best(const std::vector<Times>& runs, double Times::*field) {
  double value = runs.front().*field;
  for (const Times& t : runs) value = std::min(value, t.*field);
  return value;
}

double median(const std::vector<Times>& runs, double Times::*field) {
  std::vector<double> values;
  for (const Times& t : runs) values.push_back(t.*field);
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  QuietPresentation presentation;
  console::ConsoleCore core(presentation, console::ConsoleOptions{});
  console::ConsoleWindowServices services(core);
  runtime::register_window_services(&services);
  core.set_unit_mapper([](std::int32_t unit) { return runtime::unit_window_index(unit); });
  core.install();

  // In TMPDIR when set (a memory file system takes the disk out of the figures).
  const char* temporary = std::getenv("TMPDIR");
  std::string directory_template =
      std::string(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp") + "/mapexplorer-plot-bench-XXXXXX";
  const char* directory = ::mkdtemp(directory_template.data());
  if (directory == nullptr) return 1;
  const std::string series_file = std::string(directory) + "/recording.dat";
  const std::string plain_file = std::string(directory) + "/plain.dat";
  const auto graphics_window = [] { return runtime::unit_window_index(app::kGraphicsUnit); };

  app::DialogueState state;
  app::TrajectoryPlot plot;
  const std::vector<app::PixelPoint> pixels = attractor_pixels();

  std::vector<Times> with_plot, without_plot, plain, pixel_loop, queued_loop;
  for (int i = 0; i < kRepetitions; ++i) {
    // Each run writes a new file: freeing the last run's pages is no part of the timing.
    ::unlink(series_file.c_str());
    with_plot.push_back(on_program_thread(core, graphics_window, [&] {
      henon_settings(state);
      open_series_file(series_file);
      app::record_series(state, &plot);
    }));
    ::unlink(series_file.c_str());
    without_plot.push_back(on_program_thread(core, graphics_window, [&] {
      henon_settings(state);
      open_series_file(series_file);
      app::record_series(state, nullptr);
    }));
    ::unlink(plain_file.c_str());
    plain.push_back(on_program_thread(core, graphics_window, [&] { plain_loop(plain_file); }));
    pixel_loop.push_back(on_program_thread(core, graphics_window, [&] {
      console::set_active_window(app::kGraphicsUnit);
      for (const app::PixelPoint& p : pixels)
        console::set_pixel(static_cast<std::int16_t>(p.x), static_cast<std::int16_t>(p.y));
    }));
    queued_loop.push_back(on_program_thread(core, graphics_window, [&] {
      console::set_active_window(app::kGraphicsUnit);
      for (const app::PixelPoint& p : pixels)
        console::plot_pixel(static_cast<std::int16_t>(p.x), static_cast<std::int16_t>(p.y));
      console::flush_pixels();
    }));
  }
  ::unlink(series_file.c_str());
  ::unlink(plain_file.c_str());
  ::rmdir(directory);

  const double n = kSeriesLength;
  const double calls = static_cast<double>(pixels.size());
  std::printf("Henon recording with its plot, N = %d, Ntrans = 1000, in one process (best of %d runs each)\n",
              kSeriesLength, kRepetitions);
  std::printf("set_pixel calls per recording: %.0f\n", calls);
  std::printf("                              processor (s)  wall (s)   ns/value (processor, best / median)\n");
  auto line = [&](const char* name, const std::vector<Times>& runs) {
    std::printf("%-30s %12.3f %9.3f   %8.1f / %6.1f\n", name, best(runs, &Times::processor), best(runs, &Times::wall),
                best(runs, &Times::processor) * 1e9 / n, median(runs, &Times::processor) * 1e9 / n);
  };
  line("recording with the plot", with_plot);
  line("recording without the plot", without_plot);
  line("plain loop (to_chars, 1 MiB)", plain);
  line("set_pixel loop alone", pixel_loop);
  line("plot_pixel loop alone", queued_loop);
  std::printf("ns per set_pixel (bare loop):             %.1f\n", best(pixel_loop, &Times::processor) * 1e9 / calls);
  std::printf("ns per plot_pixel (bare loop):            %.1f\n", best(queued_loop, &Times::processor) * 1e9 / calls);
  std::printf("ns per plotted point (in the recording, target <= 10): %.1f\n",
              (best(with_plot, &Times::processor) - best(without_plot, &Times::processor)) * 1e9 / calls);
  std::printf("ratio, recording with the plot to the loop (processor, best, target <= 1.2): %.2f\n",
              best(with_plot, &Times::processor) / best(plain, &Times::processor));
  std::printf("ratio, recording with the plot to the loop (processor, median):             %.2f\n",
              median(with_plot, &Times::processor) / median(plain, &Times::processor));
  std::printf("ratio, recording with the plot to the loop (wall, best):                    %.2f\n",
              best(with_plot, &Times::wall) / best(plain, &Times::wall));
  runtime::close_unit(app::kGraphicsUnit, 0);
  runtime::register_window_services(nullptr);
  core.uninstall();
  return 0;
}
