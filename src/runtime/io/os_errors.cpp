#include "runtime/io/os_errors.h"

#include <cerrno>

namespace runtime {

int open_failure_error(int errno_value, bool compatibility_numbering) {
  switch (errno_value) {
    case ENOENT: return compatibility_numbering ? 602 : 29;
    case EMFILE:
    case ENFILE: return compatibility_numbering ? 603 : 30;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:  // a directory cannot be a unit's file: access to it is denied
      return compatibility_numbering ? 600 : 9;
    case ENXIO:
    case ENODEV: return 42;
    case EEXIST: return compatibility_numbering ? 601 : 10;
    case ENAMETOOLONG:
    case ENOTDIR:
    case EINVAL: return 43;
    default: return 30;
  }
}

}  // namespace runtime
