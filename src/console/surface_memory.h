#pragma once
// Memory for window surfaces. A surface is an 800 x 800 (or larger) Format_RGB32 image, and
// drawing reaches its rows from top to bottom; mapped in 4 KiB pages, every page costs a
// fault when first written, which on a virtual machine is the most expensive thing a short
// run does. make_surface_image maps the pixels in 2 MiB-aligned blocks advised for
// transparent huge pages, so that a whole block comes with one fault where the system
// allows; elsewhere it is ordinary memory with the same contents and lifetime.

#include <QImage>

namespace console {

// A width x height Format_RGB32 image in memory of its own, freed with the last image that
// shares it. Its pixels are undefined until written. A null image when the memory cannot be
// had (or width or height is not positive).
QImage make_surface_image(int width, int height);

}  // namespace console
