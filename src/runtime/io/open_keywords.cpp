#include "runtime/io/open_keywords.h"

#include <cctype>
#include <cstdint>
#include <utility>

namespace runtime {

namespace {

template <typename T>
struct Choice {
  std::string_view word;
  T value;
};

// Looks `text` up among `choices`; nothing when absent.
template <typename T, std::size_t N>
std::optional<T> choose(std::string_view text, const Choice<T> (&choices)[N]) {
  for (const Choice<T>& choice : choices) {
    if (keyword_value_is(text, choice.word)) return choice.value;
  }
  return std::nullopt;
}

constexpr Choice<FileStatus> kStatuses[] = {
    {"OLD", FileStatus::Old},         {"NEW", FileStatus::New},         {"SCRATCH", FileStatus::Scratch},
    {"UNKNOWN", FileStatus::Unknown}, {"REPLACE", FileStatus::Replace},
};
constexpr Choice<AccessMode> kAccesses[] = {
    {"SEQUENTIAL", AccessMode::Sequential},
    {"DIRECT", AccessMode::Direct},
    {"APPEND", AccessMode::Append},
};
constexpr Choice<FormMode> kForms[] = {
    {"FORMATTED", FormMode::Formatted},
    {"UNFORMATTED", FormMode::Unformatted},
    {"BINARY", FormMode::Binary},
};
constexpr Choice<BlankMode> kBlanks[] = {{"NULL", BlankMode::Null}, {"ZERO", BlankMode::Zero}};
constexpr Choice<FilePosition> kPositions[] = {
    {"ASIS", FilePosition::AsIs},
    {"REWIND", FilePosition::Rewind},
    {"APPEND", FilePosition::Append},
};
constexpr Choice<ActionMode> kActions[] = {
    {"READ", ActionMode::Read},
    {"WRITE", ActionMode::Write},
    {"READWRITE", ActionMode::ReadWrite},
};
constexpr Choice<Delimiter> kDelimiters[] = {
    {"APOSTROPHE", Delimiter::Apostrophe},
    {"QUOTE", Delimiter::Quote},
    {"NONE", Delimiter::None},
};
constexpr Choice<bool> kPads[] = {{"YES", true}, {"NO", false}};
constexpr Choice<CarriageControl> kCarriageControls[] = {
    {"FORTRAN", CarriageControl::FirstCharacter},
    {"LIST", CarriageControl::List},
    {"NONE", CarriageControl::None},
};
constexpr Choice<RecordType> kRecordTypes[] = {
    {"STREAM_CRLF", RecordType::StreamCrLf}, {"STREAM_LF", RecordType::StreamLf}, {"STREAM_CR", RecordType::StreamCr},
    {"STREAM", RecordType::Stream},          {"FIXED", RecordType::Fixed},        {"VARIABLE", RecordType::Variable},
    {"SEGMENTED", RecordType::Segmented},
};
constexpr Choice<ShareMode> kShares[] = {
    {"DENYNONE", ShareMode::DenyNone},    {"DENYRD", ShareMode::DenyRead},   {"DENYWR", ShareMode::DenyWrite},
    {"DENYRW", ShareMode::DenyReadWrite}, {"COMPAT", ShareMode::Compatible},
};
constexpr Choice<DataConversion> kConversions[] = {
    {"NATIVE", DataConversion::Native},
    {"BIG_ENDIAN", DataConversion::BigEndian},
    {"LITTLE_ENDIAN", DataConversion::LittleEndian},
    {"VAXD", DataConversion::VaxD},
    {"VAXG", DataConversion::VaxG},
    {"FDX", DataConversion::Fdx},
    {"FGX", DataConversion::Fgx},
    {"IBM", DataConversion::Ibm},
    {"CRAY", DataConversion::Cray},
};
constexpr Choice<Disposition> kDispositions[] = {
    {"KEEP", Disposition::Keep},
    {"SAVE", Disposition::Keep},
    {"DELETE", Disposition::Delete},
    {"PRINT", Disposition::Print},
    {"PRINT/DELETE", Disposition::PrintDelete},
    {"SUBMIT", Disposition::Submit},
    {"SUBMIT/DELETE", Disposition::SubmitDelete},
};
constexpr Choice<bool> kOrganizations[] = {{"SEQUENTIAL", true}, {"RELATIVE", true}};

// Reads a character keyword through `choices`; `error` when the value is not among them or
// is not character data.
template <typename T, std::size_t N>
int read_choice(const KeywordValue& keyword, const Choice<T> (&choices)[N], int error, std::optional<T>& out) {
  if (keyword.type != KeywordValue::Type::Character) return error;
  std::optional<T> value = choose(keyword.text, choices);
  if (!value) return error;
  out = value;
  return 0;
}

int read_integer(const KeywordValue& keyword, std::int64_t low, std::int64_t high, int error,
                 std::optional<std::int64_t>& out) {
  if (keyword.type != KeywordValue::Type::Integer) return error;
  if (keyword.integer < low || keyword.integer > high) return error;
  out = keyword.integer;
  return 0;
}

int read_logical(const KeywordValue& keyword, std::optional<bool>& out) {
  if (keyword.type == KeywordValue::Type::Character) return 45;
  out = keyword.integer != 0;
  return 0;
}

bool is_blank_text(std::string_view text) {
  for (char c : text) {
    if (c != ' ' && c != '\0') return false;
  }
  return true;
}

// Keywords that name each other's subject must agree.
int check_consistency(const OpenRequest& request) {
  const FileStatus status = request.effective_status();
  const FormMode form = request.effective_form();
  if (status == FileStatus::Scratch && request.file && !is_blank_text(*request.file)) return 567;
  if (status == FileStatus::Scratch && request.disposition) {
    switch (*request.disposition) {
      case Disposition::Keep: return 566;
      case Disposition::Print:
      case Disposition::Submit: return 46;
      default: break;
    }
  }
  if (request.action == ActionMode::Read &&
      (status == FileStatus::New || status == FileStatus::Scratch || status == FileStatus::Replace)) {
    return 46;
  }
  if (request.access == AccessMode::Append && request.position == FilePosition::Rewind) return 46;
  if (request.access == AccessMode::Direct) {
    if (request.position == FilePosition::Append || !request.record_length) return 46;
  }
  if (form != FormMode::Formatted) {
    if (request.delimiter) return 750;
    if (request.pad) return 752;
    if (request.blank) return 46;
    if (request.carriage_control && *request.carriage_control != CarriageControl::None) return 46;
  }
  if (request.record_type) {
    switch (*request.record_type) {
      case RecordType::Fixed:
        if (!request.record_length) return 46;
        break;
      case RecordType::StreamCrLf:
      case RecordType::StreamLf:
      case RecordType::StreamCr:
        if (form != FormMode::Formatted) return 44;
        break;
      case RecordType::Stream:
      case RecordType::Variable:
      case RecordType::Segmented:
        if (form == FormMode::Formatted) return 44;
        break;
    }
  }
  return 0;
}

}  // namespace

bool keyword_value_is(std::string_view text, std::string_view word) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != word[i]) return false;
  }
  return true;
}

std::optional<DataConversion> conversion_named(std::string_view name) { return choose(name, kConversions); }

int read_open_keywords(std::span<const KeywordValue> keywords, OpenRequest& request) {
  std::optional<ActionMode> action_keyword;
  std::optional<ActionMode> mode_keyword;
  bool read_only = false;
  for (const KeywordValue& keyword : keywords) {
    int error = 0;
    switch (keyword.keyword) {
      case Keyword::File:
        if (keyword.type != KeywordValue::Type::Character) return 45;
        request.file = keyword.text;
        break;
      case Keyword::Title:
        if (keyword.type != KeywordValue::Type::Character) return 45;
        request.title = keyword.text;
        break;
      case Keyword::IoFocus: error = read_logical(keyword, request.iofocus); break;
      case Keyword::Status: error = read_choice(keyword, kStatuses, 570, request.status); break;
      case Keyword::Access: error = read_choice(keyword, kAccesses, 572, request.access); break;
      case Keyword::Form: error = read_choice(keyword, kForms, 574, request.form); break;
      case Keyword::RecordLength: error = read_integer(keyword, 1, INT32_MAX, 581, request.record_length); break;
      case Keyword::Blank: error = read_choice(keyword, kBlanks, 573, request.blank); break;
      case Keyword::Position: error = read_choice(keyword, kPositions, 748, request.position); break;
      case Keyword::Action: error = read_choice(keyword, kActions, 749, action_keyword); break;
      case Keyword::Mode: error = read_choice(keyword, kActions, 571, mode_keyword); break;
      case Keyword::Delim: error = read_choice(keyword, kDelimiters, 751, request.delimiter); break;
      case Keyword::Pad: error = read_choice(keyword, kPads, 753, request.pad); break;
      case Keyword::CarriageControl:
        error = read_choice(keyword, kCarriageControls, 754, request.carriage_control);
        break;
      case Keyword::RecordType: error = read_choice(keyword, kRecordTypes, 45, request.record_type); break;
      case Keyword::Share: error = read_choice(keyword, kShares, 575, request.share); break;
      case Keyword::Convert: error = read_choice(keyword, kConversions, 45, request.conversion); break;
      case Keyword::ReadOnly: {
        std::optional<bool> value;
        error = read_logical(keyword, value);
        read_only = value.value_or(false);
        break;
      }
      case Keyword::BlockSize: error = read_integer(keyword, 0, INT32_MAX, 45, request.block_size); break;
      case Keyword::BufferCount: error = read_integer(keyword, 1, 127, 45, request.buffer_count); break;
      case Keyword::Organization: {
        std::optional<bool> known;
        error = read_choice(keyword, kOrganizations, 45, known);
        break;
      }
      case Keyword::Dispose: error = read_choice(keyword, kDispositions, 45, request.disposition); break;
      default: error = 45; break;
    }
    if (error != 0) return error;
  }
  if (action_keyword && mode_keyword && *action_keyword != *mode_keyword) return 46;
  request.action = action_keyword ? action_keyword : mode_keyword;
  if (read_only) {
    if (request.action && *request.action != ActionMode::Read) return 46;
    request.action = ActionMode::Read;
  }
  return check_consistency(request);
}

int read_close_keywords(std::span<const KeywordValue> keywords, std::optional<Disposition>& disposition) {
  std::optional<Disposition> status;
  std::optional<Disposition> dispose;
  for (const KeywordValue& keyword : keywords) {
    int error = 0;
    switch (keyword.keyword) {
      case Keyword::Status: error = read_choice(keyword, kDispositions, 570, status); break;
      case Keyword::Dispose: error = read_choice(keyword, kDispositions, 45, dispose); break;
      default: error = 46; break;
    }
    if (error != 0) return error;
  }
  if (status && dispose && *status != *dispose) return 46;
  disposition = status ? status : dispose;
  return 0;
}

}  // namespace runtime
