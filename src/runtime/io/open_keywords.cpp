#include "runtime/io/open_keywords.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <iterator>
#include <type_traits>

#include "runtime/support/error_numbers.h"

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

// What the keywords of an OPEN fill: the request, and the values that are checked against
// each other before they reach it.
struct OpenKeywordValues {
  explicit OpenKeywordValues(OpenRequest& filled) : request(filled) {}

  OpenRequest& request;
  std::optional<ActionMode> action;  // ACTION=
  std::optional<ActionMode> mode;    // MODE=
  std::optional<bool> read_only;     // READONLY
  std::optional<bool> organization;  // ORGANIZATION= is checked, not kept
};

// What the keywords of a CLOSE fill.
struct CloseKeywordValues {
  std::optional<Disposition> status;
  std::optional<Disposition> dispose;
};

// The field a keyword fills: `kField` names a member of `values` itself or of its request.
template <auto kField, typename Values>
auto& field_of(Values& values) {
  if constexpr (std::is_invocable_v<decltype(kField), Values&>) {
    return std::invoke(kField, values);
  } else {
    return std::invoke(kField, values.request);
  }
}

// The readers of one keyword value. Each returns false, leaving the field alone, when the
// value has the wrong type or is not accepted.

template <auto kField, typename Values>
bool read_text(const KeywordValue& keyword, Values& values) {
  if (keyword.type != KeywordValue::Type::Character) return false;
  field_of<kField>(values) = keyword.text;
  return true;
}

template <auto kField, std::int64_t kLowest, std::int64_t kHighest, typename Values>
bool read_integer(const KeywordValue& keyword, Values& values) {
  if (keyword.type != KeywordValue::Type::Integer) return false;
  if (keyword.integer < kLowest || keyword.integer > kHighest) return false;
  field_of<kField>(values) = keyword.integer;
  return true;
}

// A logical keyword also takes an integer (non-zero is true).
template <auto kField, typename Values>
bool read_logical(const KeywordValue& keyword, Values& values) {
  if (keyword.type == KeywordValue::Type::Character) return false;
  field_of<kField>(values) = keyword.integer != 0;
  return true;
}

template <auto kField, const auto& kChoices, typename Values>
bool read_choice(const KeywordValue& keyword, Values& values) {
  if (keyword.type != KeywordValue::Type::Character) return false;
  const auto value = choose(keyword.text, kChoices);
  if (!value) return false;
  field_of<kField>(values) = value;
  return true;
}

// One row of a statement's keyword table: the keyword, the reader that knows its accepted
// values and where they go, and the error for a value it does not accept.
template <typename Values>
struct KeywordRule {
  Keyword keyword;
  bool (*read)(const KeywordValue&, Values&);
  int error;
};

using OpenRule = KeywordRule<OpenKeywordValues>;
constexpr std::int64_t kLargestRecordLength = INT32_MAX;
constexpr std::int64_t kLargestBlockSize = INT32_MAX;
constexpr std::int64_t kLargestBufferCount = 127;

constexpr OpenRule kOpenRules[] = {
    {Keyword::File, read_text<&OpenRequest::file>, kOpenKeywordValueError},
    {Keyword::Title, read_text<&OpenRequest::title>, kOpenKeywordValueError},
    {Keyword::IoFocus, read_logical<&OpenRequest::iofocus>, kOpenKeywordValueError},
    {Keyword::Status, read_choice<&OpenRequest::status, kStatuses>, kIllegalStatusValue},
    {Keyword::Access, read_choice<&OpenRequest::access, kAccesses>, kIllegalAccessValue},
    {Keyword::Form, read_choice<&OpenRequest::form, kForms>, kIllegalFormValue},
    {Keyword::RecordLength, read_integer<&OpenRequest::record_length, 1, kLargestRecordLength>,
     kIllegalRecordLengthValue},
    {Keyword::Blank, read_choice<&OpenRequest::blank, kBlanks>, kIllegalBlankValue},
    {Keyword::Position, read_choice<&OpenRequest::position, kPositions>, kIllegalPositionValue},
    {Keyword::Action, read_choice<&OpenKeywordValues::action, kActions>, kIllegalActionValue},
    {Keyword::Mode, read_choice<&OpenKeywordValues::mode, kActions>, kIllegalModeValue},
    {Keyword::Delim, read_choice<&OpenRequest::delimiter, kDelimiters>, kIllegalDelimiterValue},
    {Keyword::Pad, read_choice<&OpenRequest::pad, kPads>, kIllegalPadValue},
    {Keyword::CarriageControl, read_choice<&OpenRequest::carriage_control, kCarriageControls>,
     kIllegalCarriageControlValue},
    {Keyword::RecordType, read_choice<&OpenRequest::record_type, kRecordTypes>, kOpenKeywordValueError},
    {Keyword::Share, read_choice<&OpenRequest::share, kShares>, kIllegalShareValue},
    {Keyword::Convert, read_choice<&OpenRequest::conversion, kConversions>, kOpenKeywordValueError},
    {Keyword::ReadOnly, read_logical<&OpenKeywordValues::read_only>, kOpenKeywordValueError},
    {Keyword::BlockSize, read_integer<&OpenRequest::block_size, 0, kLargestBlockSize>, kOpenKeywordValueError},
    {Keyword::BufferCount, read_integer<&OpenRequest::buffer_count, 1, kLargestBufferCount>, kOpenKeywordValueError},
    {Keyword::Organization, read_choice<&OpenKeywordValues::organization, kOrganizations>, kOpenKeywordValueError},
    {Keyword::Dispose, read_choice<&OpenRequest::disposition, kDispositions>, kOpenKeywordValueError},
};

using CloseRule = KeywordRule<CloseKeywordValues>;
constexpr CloseRule kCloseRules[] = {
    {Keyword::Status, read_choice<&CloseKeywordValues::status, kDispositions>, kIllegalStatusValue},
    {Keyword::Dispose, read_choice<&CloseKeywordValues::dispose, kDispositions>, kOpenKeywordValueError},
};

// Reads `keywords` in order through `rules`. Returns 0, the error of the first value a rule
// does not accept, or `unknown_keyword_error` for a keyword the table lacks.
template <typename Values, std::size_t N>
int read_keywords(std::span<const KeywordValue> keywords, const KeywordRule<Values> (&rules)[N],
                  int unknown_keyword_error, Values& values) {
  for (const KeywordValue& keyword : keywords) {
    const auto* rule = std::find_if(std::begin(rules), std::end(rules),
                                    [&](const KeywordRule<Values>& r) { return r.keyword == keyword.keyword; });
    if (rule == std::end(rules)) return unknown_keyword_error;
    if (!rule->read(keyword, values)) return rule->error;
  }
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
  if (status == FileStatus::Scratch && request.file && !is_blank_text(*request.file))
    return kScratchIllegalForNamedFile;
  if (status == FileStatus::Scratch && request.disposition) {
    switch (*request.disposition) {
      case Disposition::Keep: return kKeepIllegalForScratchFile;
      case Disposition::Print:
      case Disposition::Submit: return kInconsistentOpenCloseParameters;
      default: break;
    }
  }
  if (request.action == ActionMode::Read &&
      (status == FileStatus::New || status == FileStatus::Scratch || status == FileStatus::Replace)) {
    return kInconsistentOpenCloseParameters;
  }
  if (request.access == AccessMode::Append && request.position == FilePosition::Rewind)
    return kInconsistentOpenCloseParameters;
  if (request.access == AccessMode::Direct) {
    if (request.position == FilePosition::Append || !request.record_length) return kInconsistentOpenCloseParameters;
  }
  if (form != FormMode::Formatted) {
    if (request.delimiter) return kDelimiterNotAllowedForUnformatted;
    if (request.pad) return kPadNotAllowedForUnformatted;
    if (request.blank) return kInconsistentOpenCloseParameters;
    if (request.carriage_control && *request.carriage_control != CarriageControl::None)
      return kInconsistentOpenCloseParameters;
  }
  if (request.record_type) {
    switch (*request.record_type) {
      case RecordType::Fixed:
        if (!request.record_length) return kInconsistentOpenCloseParameters;
        break;
      case RecordType::StreamCrLf:
      case RecordType::StreamLf:
      case RecordType::StreamCr:
        if (form != FormMode::Formatted) return kInconsistentRecordType;
        break;
      case RecordType::Stream:
      case RecordType::Variable:
      case RecordType::Segmented:
        if (form == FormMode::Formatted) return kInconsistentRecordType;
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
  OpenKeywordValues values(request);
  if (int error = read_keywords(keywords, kOpenRules, kOpenKeywordValueError, values); error != 0) return error;
  if (values.action && values.mode && *values.action != *values.mode) return kInconsistentOpenCloseParameters;
  request.action = values.action ? values.action : values.mode;
  if (values.read_only.value_or(false)) {
    if (request.action && *request.action != ActionMode::Read) return kInconsistentOpenCloseParameters;
    request.action = ActionMode::Read;
  }
  return check_consistency(request);
}

int read_close_keywords(std::span<const KeywordValue> keywords, std::optional<Disposition>& disposition) {
  CloseKeywordValues values;
  if (int error = read_keywords(keywords, kCloseRules, kInconsistentOpenCloseParameters, values); error != 0) {
    return error;
  }
  if (values.status && values.dispose && *values.status != *values.dispose) return kInconsistentOpenCloseParameters;
  disposition = values.status ? values.status : values.dispose;
  return 0;
}

}  // namespace runtime
