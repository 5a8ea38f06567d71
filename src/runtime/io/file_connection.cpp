#include "runtime/io/file_connection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

#include "runtime/io/blank_name.h"
#include "runtime/io/file_disconnection.h"
#include "runtime/io/os_errors.h"
#include "runtime/support/environment.h"
#include "runtime/support/error_numbers.h"
#include "runtime/support/lifecycle.h"
#include "runtime/window_services.h"

namespace runtime {

namespace {

bool is_blank(std::string_view text) { return trim_file_name(text).empty(); }

// Opens `path` with `flags`, retrying when a signal interrupts. Returns the descriptor or -1.
int open_path(const char* path, int flags) {
  for (;;) {
    int descriptor = ::open(path, flags | O_CLOEXEC, 0666);
    if (descriptor >= 0 || errno != EINTR) return descriptor;
  }
}

int open_scratch_file(std::string& path) {
  std::string directory = environment_value("TMPDIR").value_or("");
  if (directory.empty()) directory = "/tmp";
  if (directory.back() != '/') directory += '/';
  std::string pattern = directory + "forXXXXXX";
  int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (descriptor < 0) return -1;
  // The name goes at once, so a scratch file never outlives the process, however it ends.
  ::unlink(pattern.c_str());
  path = pattern;
  return descriptor;
}

// Opens a regular file for `block` (status, action, position). Returns 0 or an error number.
int open_file(UnitBlock& block, const OpenRequest& request, const ResolvedName& resolved, bool for_reading,
              bool compatibility) {
  const FileStatus status =
      resolved.kind == ResolvedName::Kind::Scratch ? FileStatus::Scratch : request.effective_status();
  int descriptor = -1;
  std::optional<ActionMode> action = request.action;
  if (status == FileStatus::Scratch) {
    descriptor = open_scratch_file(block.file_name);
    if (descriptor < 0) return open_failure_error(errno, compatibility);
    if (!action) action = ActionMode::ReadWrite;
  } else {
    int creation = 0;
    switch (status) {
      case FileStatus::Old: break;
      case FileStatus::New: creation = O_CREAT | O_EXCL; break;
      case FileStatus::Replace: creation = O_CREAT | O_TRUNC; break;
      default: creation = (action == ActionMode::Read || for_reading) ? 0 : O_CREAT; break;
    }
    const char* path = block.file_name.c_str();
    if (action) {
      int access = *action == ActionMode::Read ? O_RDONLY : *action == ActionMode::Write ? O_WRONLY : O_RDWR;
      descriptor = open_path(path, access | creation);
    } else {
      // Without ACTION: read and write if allowed, else read only, else write only.
      action = ActionMode::ReadWrite;
      descriptor = open_path(path, O_RDWR | creation);
      if (descriptor < 0 && (errno == EACCES || errno == EROFS || errno == EPERM || errno == EISDIR)) {
        int first_error = errno;
        descriptor = open_path(path, O_RDONLY | (creation & ~O_TRUNC));
        action = ActionMode::Read;
        if (descriptor < 0 && errno == EACCES) {
          descriptor = open_path(path, O_WRONLY | creation);
          action = ActionMode::Write;
        }
        if (descriptor < 0 && first_error == EISDIR) errno = EISDIR;
      }
    }
    if (descriptor < 0) return open_failure_error(errno, compatibility);
  }
  struct stat info {};
  if (::fstat(descriptor, &info) != 0) {
    ::close(descriptor);
    return kOpenFailure;
  }
  if (S_ISDIR(info.st_mode)) {  // opened for reading: still not a file a unit can use
    ::close(descriptor);
    return open_failure_error(EISDIR, compatibility);
  }
  const bool regular = S_ISREG(info.st_mode);
  block.has_identity = true;
  block.file_device = info.st_dev;
  block.file_inode = info.st_ino;
  block.action = *action;
  block.read_only = *action == ActionMode::Read;
  block.channel = ByteChannel::for_descriptor(descriptor, true, regular, false);
  if (regular && status != FileStatus::Scratch) block.channel.refuse_writes_once_removed();
  const bool append = block.access == AccessMode::Append || request.position == FilePosition::Append;
  if (append && regular) ::lseek(descriptor, 0, SEEK_END);
  block.cut_after_first_record =
      regular && !append && block.access != AccessMode::Direct && block.action != ActionMode::Read;
  return 0;
}

int open_device(UnitBlock& block, const DeviceName& device, bool compatibility) {
  int access = block.action == ActionMode::Read ? O_RDONLY : block.action == ActionMode::Write ? O_WRONLY : O_RDWR;
  std::string path(device.machine_path);
  int descriptor = open_path(path.c_str(), access | O_NOCTTY);
  if (descriptor < 0 && block.action == ActionMode::ReadWrite && (errno == EACCES || errno == EROFS)) {
    descriptor = open_path(path.c_str(), O_WRONLY | O_NOCTTY);
  }
  if (descriptor < 0) {
    // A printer or port the machine does not have is no such device.
    if (errno == ENOENT) return kNoSuchDevice;
    return open_failure_error(errno, compatibility);
  }
  block.channel = ByteChannel::for_descriptor(descriptor, true, false, false);
  return 0;
}

// Connects `block` to the console's standard handles, or to the window the windowed console
// gives the standard units.
void connect_console(UnitBlock& block, DeviceKind kind) {
  if (WindowServices* services = window_services()) {
    int window = services->standard_unit_window();
    if (window != -1) {
      block.device = DeviceKind::TextWindow;
      block.window_index = window;
      block.owns_window = false;
      block.channel = ByteChannel::for_window(window);
      block.terminal = &window_device(window);
      return;
    }
  }
  block.device = kind;
  block.channel = ByteChannel::for_descriptor(0, false, false, true);
  block.terminal = kind == DeviceKind::ConsoleError ? &console_error_device() : &console_output_device();
}

int connect_user_window(UnitBlock& block, const OpenRequest& request) {
  WindowServices* services = window_services();
  if (services == nullptr) {
    connect_console(block, DeviceKind::ConsoleOutput);
    return 0;
  }
  std::string title;
  if (request.title) {
    title.assign(*request.title);
  } else {
    char text[32];
    std::snprintf(text, sizeof text, "Unit %i", static_cast<int>(block.unit));
    title = text;
  }
  bool take_focus = request.iofocus.value_or(true);
  int window = services->create_window(title, take_focus);
  if (window == -1) return kPermissionDenied;
  block.device = DeviceKind::TextWindow;
  block.window_index = window;
  block.owns_window = true;
  block.title = std::move(title);
  block.focus_request = take_focus;
  block.channel = ByteChannel::for_window(window);
  block.terminal = &window_device(window);
  block.terminal->reset();
  return 0;
}

void apply_modes(UnitBlock& block, const OpenRequest& request) {
  block.access = request.access.value_or(AccessMode::Sequential);
  block.form = request.effective_form();
  block.record_type =
      request.record_type.value_or(block.form == FormMode::Formatted ? RecordType::StreamCrLf : RecordType::Variable);
  if (request.action) block.action = *request.action;
  block.blank = request.blank.value_or(BlankMode::Null);
  block.pad = request.pad.value_or(true);
  block.delimiter = request.delimiter.value_or(Delimiter::None);
  block.share = request.share.value_or(ShareMode::DenyNone);
  block.status = request.effective_status();
  block.disposition = request.disposition.value_or(Disposition::Default);
  block.record_length = request.record_length.value_or(0);
  block.conversion = request.conversion.value_or(DataConversion::Native);
  // The input buffer: the block size rounded up to 512 bytes times the buffer count, never
  // less than the record length nor than 1024 bytes.
  std::int64_t block_size = request.block_size.value_or(0);
  std::int64_t buffers = request.buffer_count.value_or(1);
  std::int64_t size = (block_size + 511) / 512 * 512 * buffers;
  if (size < block.record_length) size = block.record_length;
  if (size < 1024) size = 1024;
  block.input.set_initial_capacity(static_cast<std::size_t>(size));
}

}  // namespace

int resolve_unit_name(std::int32_t unit, const OpenRequest& request, bool implicit, ResolvedName& resolved,
                      std::string& name_for_messages) {
  using Kind = ResolvedName::Kind;
  const bool file_given = !implicit && request.file.has_value();
  if (request.effective_status() == FileStatus::Scratch && (!file_given || is_blank(*request.file))) {
    resolved.kind = Kind::Scratch;
    resolved.name = "SCRATCH";
    name_for_messages = resolved.name;
    return 0;
  }
  std::string name;
  if (file_given) {
    name.assign(trim_file_name(*request.file));
    if (name.empty()) {
      if (int error = ask_for_file_name(unit, name)) return error;
    }
  } else {
    DefaultConnection connection = default_connection(unit);
    switch (connection.kind) {
      case DefaultConnection::Kind::StandardInput:
        resolved.kind = Kind::StandardInput;
        resolved.name = "CONIN$";
        name_for_messages = resolved.name;
        return 0;
      case DefaultConnection::Kind::StandardOutput:
        resolved.kind = Kind::StandardOutput;
        resolved.name = "CONOUT$";
        name_for_messages = resolved.name;
        return 0;
      case DefaultConnection::Kind::StandardError:
        resolved.kind = Kind::StandardError;
        resolved.name = "ERR";
        name_for_messages = resolved.name;
        return 0;
      case DefaultConnection::Kind::Named: name = std::move(connection.name); break;
    }
  }
  name_for_messages = name;
  if (std::optional<DeviceName> device = match_device_name(name)) {
    resolved.kind = Kind::Device;
    resolved.device = device;
    resolved.name.assign(device->name);
    name_for_messages = resolved.name;
    return 0;
  }
  resolved.kind = Kind::File;
  if (int error = expand_full_path(name, resolved.name)) return error;
  name_for_messages = resolved.name;
  return 0;
}

int connect_resolved(std::int32_t unit, const OpenRequest& request, const ResolvedName& resolved, bool for_reading,
                     bool compatibility_numbering, std::unique_ptr<UnitBlock>& result) {
  std::unique_ptr<UnitBlock> block(new (std::nothrow) UnitBlock(unit));
  if (!block) return kInsufficientVirtualMemory;
  block->compatibility_numbering = compatibility_numbering;
  block->file_name = resolved.name;
  apply_modes(*block, request);
  const bool formatted = block->form == FormMode::Formatted;

  // TITLE and IOFOCUS belong to text windows; checked before anything is opened or created.
  WindowServices* services = window_services();
  bool window_unit = false;
  if (services != nullptr) {
    bool console = resolved.kind == ResolvedName::Kind::StandardInput ||
                   resolved.kind == ResolvedName::Kind::StandardOutput ||
                   resolved.kind == ResolvedName::Kind::StandardError ||
                   (resolved.kind == ResolvedName::Kind::Device && is_console_device(resolved.device->kind));
    window_unit = (resolved.kind == ResolvedName::Kind::Device && resolved.device->kind == DeviceKind::TextWindow) ||
                  (console && services->standard_unit_window() != -1);
  }
  if (!window_unit && request.title)
    return services != nullptr ? kTitleIllegalWithNonWindowUnit : kTitleIllegalWithoutWindowing;
  if (!window_unit && request.iofocus)
    return services != nullptr ? kIoFocusIllegalWithNonWindowUnit : kIoFocusIllegalWithoutWindowing;
  // FORT_CONVERTn overrides the OPEN's CONVERT for the unit.
  if (std::optional<std::string> conversion = environment_value("FORT_CONVERT" + std::to_string(unit))) {
    std::optional<DataConversion> named = conversion_named(*conversion);
    if (!named) return kOpenKeywordValueError;
    block->conversion = *named;
  }

  int error = 0;
  using Kind = ResolvedName::Kind;
  switch (resolved.kind) {
    case Kind::File:
    case Kind::Scratch:
      block->device = DeviceKind::RegularFile;
      error = open_file(*block, request, resolved, for_reading, compatibility_numbering);
      break;
    case Kind::StandardInput: connect_console(*block, DeviceKind::ConsoleInput); break;
    case Kind::StandardOutput: connect_console(*block, DeviceKind::ConsoleOutput); break;
    case Kind::StandardError: connect_console(*block, DeviceKind::ConsoleError); break;
    case Kind::Device:
      switch (resolved.device->kind) {
        case DeviceKind::TextWindow: error = connect_user_window(*block, request); break;
        case DeviceKind::ConsoleInput:
        case DeviceKind::ConsoleOutput:
        case DeviceKind::ConsoleError: connect_console(*block, resolved.device->kind); break;
        default:
          block->device = resolved.device->kind;
          error = open_device(*block, *resolved.device, compatibility_numbering);
          break;
      }
      break;
  }
  if (error != 0) return error;

  const bool character_device = block->device == DeviceKind::TextWindow || is_console_device(block->device);
  block->carriage_control = request.carriage_control.value_or(!formatted         ? CarriageControl::None
                                                              : character_device ? CarriageControl::FirstCharacter
                                                                                 : CarriageControl::List);
  if (!block->terminal->shared()) {
    std::string_view terminator = block->record_terminator();
    block->own_device.set_line_end(terminator.empty() ? std::string_view("\r\n") : terminator);
  }
  result = std::move(block);
  return 0;
}

bool names_connected_file(const UnitBlock& block, const ResolvedName& resolved) {
  using Kind = ResolvedName::Kind;
  switch (resolved.kind) {
    case Kind::Scratch: return false;
    case Kind::File: {
      if (block.device != DeviceKind::RegularFile || !block.has_identity) return false;
      struct stat info {};
      if (::stat(resolved.name.c_str(), &info) != 0) return false;
      return info.st_dev == block.file_device && info.st_ino == block.file_inode;
    }
    default: break;
  }
  DeviceKind wanted = DeviceKind::ConsoleOutput;
  switch (resolved.kind) {
    case Kind::StandardInput: wanted = DeviceKind::ConsoleInput; break;
    case Kind::StandardOutput: wanted = DeviceKind::ConsoleOutput; break;
    case Kind::StandardError: wanted = DeviceKind::ConsoleError; break;
    default: wanted = resolved.device->kind; break;
  }
  if (window_services() != nullptr && block.device == DeviceKind::TextWindow) {
    // Under the windowed console USER, CON and CONOUT$ are the same device.
    return wanted == DeviceKind::TextWindow || wanted == DeviceKind::ConsoleOutput;
  }
  if (wanted == DeviceKind::TextWindow) wanted = DeviceKind::ConsoleOutput;  // USER without windows
  if (block.device != wanted) return false;
  if (wanted == DeviceKind::Printer || wanted == DeviceKind::Serial) {
    return resolved.kind == Kind::Device && block.file_name == resolved.name;
  }
  return true;
}

void note_first_connection() {
  static std::once_flag once;
  // The closer also runs at process exit, so buffered files are complete even when the
  // program does not use the runtime's main wrapper.
  std::call_once(once, [] { set_unit_closer(&close_all_units_at_exit); });
}

}  // namespace runtime
