#pragma once
// The system's font configuration, read once per process. Reading it (the configuration
// files and the font caches) takes several milliseconds, and the first window's text font
// needs it before the first prompt can appear; FontSystemWarmUp reads it on a thread of its
// own while the rest of the program starts, and ready_font_system lets the first font made
// wait for that reading instead of doing it a second time.

#include <thread>

namespace console {

// Reads the font configuration unless it has been read; a caller that arrives while another
// thread reads it waits for that reading to end.
void ready_font_system();

// Starts ready_font_system on a thread of its own; the destructor waits for the thread.
class FontSystemWarmUp {
 public:
  FontSystemWarmUp();
  ~FontSystemWarmUp();
  FontSystemWarmUp(const FontSystemWarmUp&) = delete;
  FontSystemWarmUp& operator=(const FontSystemWarmUp&) = delete;

 private:
  std::thread thread_;
};

}  // namespace console
