// Watches one recording from outside the explorer: polls the size of the series file and
// times the recording from the first buffer that reaches the file to its last byte. With
// --screen it also grabs the X screen (the DISPLAY it runs on) as fast as it can meanwhile
// and counts the grabs that differ from the one before: a lower bound of how often the frame
// was repainted while the recording ran.
//
//   recording_watch FILE EXPECTED_BYTES TIMEOUT_SECONDS [--screen]
//
// Prints "seconds S" and, with --screen, "changes C grabs G per_second R".

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace {

long long file_size(const char* path) {
  struct stat status {};
  return ::stat(path, &status) == 0 ? static_cast<long long>(status.st_size) : -1;
}

// A cheap fingerprint of every pixel (a changed pixel changes it), so that hashing does not
// slow the grabbing down.
std::uint64_t image_hash(const QImage& image) {
  const auto* words = reinterpret_cast<const std::uint64_t*>(image.constBits());
  const std::size_t count = static_cast<std::size_t>(image.sizeInBytes()) / sizeof(std::uint64_t);
  std::uint64_t hash = 0;
  for (std::size_t i = 0; i < count; ++i) hash = (hash ^ words[i]) * 0x100000001B3ull + i;
  return hash;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: recording_watch FILE EXPECTED_BYTES TIMEOUT_SECONDS [--screen]\n");
    return 2;
  }
  const char* path = argv[1];
  const long long expected = std::atoll(argv[2]);
  const double timeout = std::atof(argv[3]);
  const bool screen = argc > 4 && std::strcmp(argv[4], "--screen") == 0;
  std::unique_ptr<QGuiApplication> application;
  if (screen) application = std::make_unique<QGuiApplication>(argc, argv);

  using Clock = std::chrono::steady_clock;
  const Clock::time_point begin = Clock::now();
  Clock::time_point first{};
  bool started = false;
  long changes = 0;
  long grabs = 0;
  std::uint64_t last_hash = 0;
  for (;;) {
    const Clock::time_point now = Clock::now();
    if (std::chrono::duration<double>(now - begin).count() > timeout) {
      std::fprintf(stderr, "recording_watch: %s did not reach %lld bytes\n", path, expected);
      return 1;
    }
    const long long size = file_size(path);
    if (!started && size > 0) {
      started = true;
      first = now;
    }
    if (size >= expected) break;
    if (screen) {
      const QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
      const std::uint64_t hash = image_hash(image);
      if (started) {
        ++grabs;
        if (hash != last_hash) ++changes;
      }
      last_hash = hash;
    } else {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - first).count();
  std::printf("seconds %.4f\n", seconds);
  if (screen) std::printf("changes %ld grabs %ld per_second %.1f\n", changes, grabs, changes / seconds);
  return 0;
}
