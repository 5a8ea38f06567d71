#include "console/surface_memory.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>

namespace console {

namespace {

constexpr std::size_t kHugePageBytes = std::size_t{2} * 1024 * 1024;

std::size_t rounded_up(std::size_t value, std::size_t unit) { return (value + unit - 1) / unit * unit; }

// One mapping of surface pixels; unmapped when the last image using it goes.
struct SurfaceMapping {
  void* address = nullptr;
  std::size_t length = 0;

  SurfaceMapping(void* mapped_address, std::size_t mapped_length) : address(mapped_address), length(mapped_length) {}
  SurfaceMapping(const SurfaceMapping&) = delete;
  SurfaceMapping& operator=(const SurfaceMapping&) = delete;
  ~SurfaceMapping() { ::munmap(address, length); }
};

void release_mapping(void* mapping) { delete static_cast<SurfaceMapping*>(mapping); }

// `length` bytes (a multiple of kHugePageBytes) mapped at a multiple of kHugePageBytes, or
// null. The slack mapped to find the alignment is given back at once.
std::unique_ptr<SurfaceMapping> map_aligned(std::size_t length) {
  const std::size_t reserved = length + kHugePageBytes;
  void* base = ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(base);
  const std::uintptr_t aligned = rounded_up(start, kHugePageBytes);
  const std::size_t head = aligned - start;
  const std::size_t tail = reserved - head - length;
  if (head > 0) ::munmap(base, head);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + length), tail);
  auto* address = reinterpret_cast<void*>(aligned);
  std::unique_ptr<SurfaceMapping> mapping(new (std::nothrow) SurfaceMapping(address, length));
  if (!mapping) ::munmap(address, length);
  return mapping;
}

}  // namespace

QImage make_surface_image(int width, int height) {
  if (width <= 0 || height <= 0) return QImage();
  const std::size_t line_bytes = static_cast<std::size_t>(width) * 4;
  const std::size_t bytes = line_bytes * static_cast<std::size_t>(height);
  if (bytes / line_bytes != static_cast<std::size_t>(height) || line_bytes > std::numeric_limits<int>::max()) {
    return QImage();
  }
  std::unique_ptr<SurfaceMapping> mapping = map_aligned(rounded_up(bytes, kHugePageBytes));
  if (!mapping) return QImage();
  // Only advice: without huge pages the mapping is ordinary memory.
  ::madvise(mapping->address, mapping->length, MADV_HUGEPAGE);
  QImage image(static_cast<uchar*>(mapping->address), width, height, static_cast<qsizetype>(line_bytes),
               QImage::Format_RGB32, &release_mapping, mapping.get());
  if (image.isNull()) return QImage();  // the mapping goes with `mapping`
  mapping.release();                    // the image's now
  return image;
}

}  // namespace console
