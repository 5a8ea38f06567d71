#include "console/font_system.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <system_error>

namespace console {

void ready_font_system() {
  static std::once_flag read_once;
  // FcInit reads the configuration into fontconfig's process-wide current configuration,
  // which Qt's font database then finds in place. A failure leaves nothing to undo: Qt
  // reports missing fonts itself when it looks for them.
  std::call_once(read_once, [] { static_cast<void>(FcInit()); });
}

FontSystemWarmUp::FontSystemWarmUp() {
  try {
    thread_ = std::thread(ready_font_system);
  } catch (const std::system_error&) {
    // No thread to spare: the first font made reads the configuration itself.
  }
}

FontSystemWarmUp::~FontSystemWarmUp() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace console
