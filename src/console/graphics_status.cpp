#include "console/graphics_status.h"

#include <atomic>

namespace console {

namespace {

std::atomic<std::int16_t> status_value{0};

}  // namespace

std::int16_t graphics_status() { return status_value.load(std::memory_order_relaxed); }
void set_graphics_status(std::int16_t value) { status_value.store(value, std::memory_order_relaxed); }

}  // namespace console
