#include "runtime/io/terminal_device.h"

#include <unistd.h>

#include <cerrno>
#include <map>
#include <memory>
#include <mutex>

#include "runtime/io/byte_channel.h"
#include "runtime/support/emission.h"
#include "runtime/window_services.h"

namespace runtime {

namespace {

int write_descriptor(int descriptor, std::string_view bytes) {
  std::size_t written = 0;
  return write_fully(descriptor, bytes, written);
}

struct WindowDevices {
  std::mutex lock;
  std::map<int, std::unique_ptr<TerminalDevice>> devices;
};

// Never destroyed: the exit handler may still write through them while the process ends.
WindowDevices& window_devices() {
  static WindowDevices* devices = new WindowDevices;
  return *devices;
}

}  // namespace

int TerminalDevice::write(std::string_view bytes, ByteChannel* own) const {
  if (bytes.empty()) return 0;
  switch (target_) {
    case Target::Descriptor: return write_descriptor(id_, bytes);
    case Target::Window: {
      WindowServices* services = window_services();
      if (services == nullptr) return EIO;
      return services->write_window(id_, bytes) < 0 ? EIO : 0;
    }
    case Target::UnitChannel: return own != nullptr ? own->write(bytes) : EBADF;
  }
  return EBADF;
}

int TerminalDevice::write_owed_line_end(ByteChannel* own) {
  if (!take_owed_line_end()) return 0;
  return write(line_end_, own);
}

TerminalDevice& console_output_device() {
  static TerminalDevice* device = new TerminalDevice(TerminalDevice::Target::Descriptor, 1, "\n");
  return *device;
}

TerminalDevice& console_error_device() {
  static TerminalDevice* device = new TerminalDevice(TerminalDevice::Target::Descriptor, 2, "\n");
  return *device;
}

TerminalDevice& window_device(int window) {
  WindowDevices& all = window_devices();
  std::lock_guard<std::mutex> hold(all.lock);
  std::unique_ptr<TerminalDevice>& device = all.devices[window];
  if (!device) device = std::make_unique<TerminalDevice>(TerminalDevice::Target::Window, window, "\n");
  return *device;
}

TerminalDevice* find_window_device(int window) {
  WindowDevices& all = window_devices();
  std::lock_guard<std::mutex> hold(all.lock);
  auto found = all.devices.find(window);
  return found == all.devices.end() ? nullptr : found->second.get();
}

}  // namespace runtime
