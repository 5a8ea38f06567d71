#pragma once
// UnitBlock: everything the runtime keeps for one connected unit (file name, channel, device,
// window, modes, record buffers, carriage-control state, statement flags), and the enums of
// the OPEN and CLOSE keyword values it records.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/edit_descriptor.h"
#include "runtime/io/byte_channel.h"
#include "runtime/io/input_record.h"
#include "runtime/io/output_record.h"
#include "runtime/io/terminal_device.h"
#include "runtime/statement_flags.h"

namespace runtime {

enum class DeviceKind : std::uint8_t {
  RegularFile,    // a file opened by name (also pipes and other files that are not devices)
  ConsoleInput,   // standard input
  ConsoleOutput,  // standard output
  ConsoleError,   // standard error
  TextWindow,     // a child window of the windowed console
  Printer,        // PRN, LPT1-LPT4, COM2-COM4 mapped to the machine's devices
  Serial,         // COM1, AUX, LINE
  Null,           // NUL
};

enum class CarriageControl : std::uint8_t { FirstCharacter = 1, List = 2, None = 3 };
enum class AccessMode : std::uint8_t { Sequential, Direct, Append };
enum class FormMode : std::uint8_t { Formatted, Unformatted, Binary };
enum class RecordType : std::uint8_t {
  StreamCrLf,
  StreamLf,
  StreamCr,
  Stream,
  Fixed,
  Variable,
  Segmented,
};
enum class ActionMode : std::uint8_t { Read, Write, ReadWrite };
enum class FileStatus : std::uint8_t { Old, New, Scratch, Unknown, Replace };
enum class FilePosition : std::uint8_t { AsIs, Rewind, Append };
enum class Disposition : std::uint8_t {
  Default,
  Keep,
  Delete,
  Print,
  PrintDelete,
  Submit,
  SubmitDelete,
};
enum class Delimiter : std::uint8_t { None, Apostrophe, Quote };
enum class ShareMode : std::uint8_t { DenyNone, DenyRead, DenyWrite, DenyReadWrite, Compatible };
enum class DataConversion : std::uint8_t {
  Native,
  BigEndian,
  LittleEndian,
  VaxD,
  VaxG,
  Fdx,
  Fgx,
  Ibm,
  Cray,
};

inline bool is_console_device(DeviceKind kind) {
  return kind == DeviceKind::ConsoleInput || kind == DeviceKind::ConsoleOutput || kind == DeviceKind::ConsoleError;
}

struct UnitBlock {
  explicit UnitBlock(std::int32_t number) : unit(number), own_device(TerminalDevice::Target::UnitChannel, -1, "\r\n") {}

  std::int32_t unit;
  std::string file_name;  // resolved full path, device name, or "Unknown" after close
  ByteChannel channel;
  DeviceKind device = DeviceKind::RegularFile;
  // A text-window unit's window (its own, or the standard units' window), else -1.
  int window_index = -1;
  bool owns_window = false;  // the window was created for this unit (FILE "USER")
  std::string title;
  bool focus_request = true;

  AccessMode access = AccessMode::Sequential;
  FormMode form = FormMode::Formatted;
  RecordType record_type = RecordType::StreamCrLf;
  ActionMode action = ActionMode::ReadWrite;
  CarriageControl carriage_control = CarriageControl::List;
  BlankMode blank = BlankMode::Null;
  bool pad = true;
  Delimiter delimiter = Delimiter::None;
  ShareMode share = ShareMode::DenyNone;
  FileStatus status = FileStatus::Unknown;
  Disposition disposition = Disposition::Default;
  DataConversion conversion = DataConversion::Native;
  std::int64_t record_length = 0;  // RECL; 0 when not given
  bool read_only = false;          // READONLY, or opened for reading only

  InputRecord input;
  OutputRecord output;
  // A non-advancing record is pending in `output`.
  bool output_pending = false;

  // Carriage-control device: a shared terminal device, or own_device for files and
  // other private devices.
  TerminalDevice* terminal = &own_device;
  TerminalDevice own_device;

  StatementFlags statement_flags = 0;
  std::int64_t record_count = 0;

  // A sequential file connected at its start is cut after the first record written.
  bool cut_after_first_record = false;
  // Identity of a regular file, for re-opening the same file.
  bool has_identity = false;
  dev_t file_device = 0;
  ino_t file_inode = 0;
  // Errors of this connection's OPEN use the compatibility numbering.
  bool compatibility_numbering = false;

  // The record terminator of formatted sequential output.
  std::string_view record_terminator() const {
    switch (record_type) {
      case RecordType::StreamLf: return "\n";
      case RecordType::StreamCr: return "\r";
      case RecordType::Fixed: return {};
      default: return "\r\n";
    }
  }
  RecordLayout input_layout() const {
    RecordLayout layout;
    if (record_type == RecordType::StreamCr) layout.end = RecordLayout::End::CarriageReturn;
    if (record_type == RecordType::Fixed && record_length > 0) {
      layout.end = RecordLayout::End::FixedLength;
      layout.fixed_length = static_cast<std::size_t>(record_length);
    }
    return layout;
  }
};

}  // namespace runtime
