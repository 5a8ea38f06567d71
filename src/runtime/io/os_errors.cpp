#include "runtime/io/os_errors.h"
#include "runtime/support/error_numbers.h"

#include <cerrno>

namespace runtime {

int open_failure_error(int errno_value, bool compatibility_numbering) {
  switch (errno_value) {
    case ENOENT: return compatibility_numbering ? kCompatibleFileNotFound : kFileNotFound;
    case EMFILE:
    case ENFILE: return compatibility_numbering ? kCompatibleTooManyOpenFiles : kOpenFailure;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:  // a directory cannot be a unit's file: access to it is denied
      return compatibility_numbering ? kCompatibleAccessNotAllowed : kPermissionDenied;
    case ENXIO:
    case ENODEV: return kNoSuchDevice;
    case EEXIST: return compatibility_numbering ? kCompatibleFileAlreadyExists : kCannotOverwriteExistingFile;
    case ENAMETOOLONG:
    case ENOTDIR:
    case EINVAL: return kFileNameSpecificationError;
    default: return kOpenFailure;
  }
}

}  // namespace runtime
