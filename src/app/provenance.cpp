#include "app/provenance.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <limits>

#include "app/version.h"
#include "numerics/uniform_generator.h"

namespace app {
namespace {

using Json = nlohmann::json;

constexpr std::string_view kProgram = "mapexplorer";
constexpr std::size_t kSha256Digits = 64;

// Field names.
constexpr const char* kProgramField = "program";
constexpr const char* kVersionField = "version";
constexpr const char* kMapField = "map";
constexpr const char* kNumberField = "number";
constexpr const char* kNameField = "name";
constexpr const char* kParametersField = "parameters";
constexpr const char* kInitialField = "initial";
constexpr const char* kTransientField = "transient";
constexpr const char* kLengthField = "length";
constexpr const char* kVariableField = "variable";
constexpr const char* kNoiseField = "noise";
constexpr const char* kSeedField = "seed";
constexpr const char* kValuesWrittenField = "values_written";
constexpr const char* kDivergentPointField = "divergent_point";
constexpr const char* kSha256Field = "series_sha256";
constexpr const char* kCreatedField = "created_utc";

constexpr std::string_view kNan = "nan";
constexpr std::string_view kInfinity = "inf";
constexpr std::string_view kMinusInfinity = "-inf";

// A JSON string (quoted and escaped).
std::string json_text(std::string_view text) { return Json(std::string(text)).dump(); }

template <typename T>
std::string json_optional(const std::optional<T>& value, std::string (*write)(T)) {
  return value ? write(*value) : "null";
}

std::string json_integer(std::int64_t value) { return std::to_string(value); }
std::string json_seed(std::int32_t value) { return std::to_string(value); }

// ---- reading ----

// Reads the fields of one JSON object, each checked; the first failure is kept in `error`.
class FieldReader {
 public:
  FieldReader(const Json& object, std::string& error, std::string prefix = "")
      : object_(object), error_(error), prefix_(std::move(prefix)) {}

  const Json* field(const char* name) {
    const auto found = object_.find(name);
    if (found != object_.end()) return &*found;
    fail(name, "is missing");
    return nullptr;
  }

  bool text(const char* name, std::string& value) {
    const Json* json = field(name);
    if (json == nullptr) return false;
    if (!json->is_string()) return fail(name, "must be a string");
    value = json->get<std::string>();
    return true;
  }

  bool whole(const char* name, std::int64_t low, std::int64_t high, std::int64_t& value) {
    const Json* json = field(name);
    return json != nullptr && whole_value(name, *json, low, high, value);
  }

  template <typename Integer>
  bool whole_or_null(const char* name, std::int64_t low, std::int64_t high, std::optional<Integer>& value) {
    const Json* json = field(name);
    if (json == nullptr) return false;
    value.reset();
    if (json->is_null()) return true;
    std::int64_t number = 0;
    if (!whole_value(name, *json, low, high, number)) return false;
    value = static_cast<Integer>(number);
    return true;
  }

  bool real_value(const std::string& name, const Json& json, double& value) {
    if (json.is_number()) {
      value = json.get<double>();
      return true;
    }
    if (json.is_string()) {
      const std::string text = json.get<std::string>();
      if (text == kNan || text == kInfinity || text == kMinusInfinity) {
        value = text == kNan ? std::nan("") : (text == kInfinity ? HUGE_VAL : -HUGE_VAL);
        return true;
      }
    }
    return fail(name, "must be a number (or \"nan\", \"inf\", \"-inf\")");
  }

  // Fails with `what` about field `name`; always false.
  bool fail(const std::string& name, const std::string& what) {
    if (error_.empty()) error_ = "\"" + prefix_ + name + "\" " + what;
    return false;
  }

 private:
  bool whole_value(const std::string& name, const Json& json, std::int64_t low, std::int64_t high,
                   std::int64_t& value) {
    std::optional<std::int64_t> number;
    if (json.is_number_unsigned()) {
      const std::uint64_t unsigned_number = json.get<std::uint64_t>();
      if (unsigned_number <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        number = static_cast<std::int64_t>(unsigned_number);
      }
    } else if (json.is_number_integer()) {
      number = json.get<std::int64_t>();
    }
    if (!number || *number < low || *number > high) {
      return fail(name, "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    }
    value = *number;
    return true;
  }

  const Json& object_;
  std::string& error_;
  std::string prefix_;
};

bool read_map(FieldReader& fields, MapSettings& settings, std::string& error) {
  const Json* map = fields.field(kMapField);
  if (map == nullptr) return false;
  if (!map->is_object()) return fields.fail(kMapField, "must be an object");
  FieldReader map_fields(*map, error, std::string(kMapField) + ".");
  std::int64_t number = 0;
  std::string name;
  if (!map_fields.whole(kNumberField, 1, kMapCount, number) || !map_fields.text(kNameField, name)) return false;
  settings.map = find_map(static_cast<int>(number));
  if (settings.map->name != name) {
    return map_fields.fail(kNameField, "is \"" + name + "\", but map " + std::to_string(number) + " is \"" +
                                           std::string(settings.map->name) + "\"");
  }
  return true;
}

bool read_parameters(FieldReader& fields, MapSettings& settings, std::string& error) {
  const Json* parameters = fields.field(kParametersField);
  if (parameters == nullptr) return false;
  if (!parameters->is_object()) return fields.fail(kParametersField, "must be an object");
  FieldReader parameter_fields(*parameters, error, std::string(kParametersField) + ".");
  for (const ParameterPrompt& prompt : settings.map->parameter_prompts) {
    const std::string name(parameter_name(prompt));
    const Json* value = parameter_fields.field(name.c_str());
    if (value == nullptr ||
        !parameter_fields.real_value(name, *value, *parameter_slot(settings.parameters, prompt.slot))) {
      return false;
    }
    settings.parameter_given[static_cast<std::size_t>(prompt.slot - 1)] = true;
  }
  for (const auto& [name, value] : parameters->items()) {
    if (find_parameter(*settings.map, name) == nullptr) {
      return parameter_fields.fail(name, "is not a parameter of the " + std::string(settings.map->name) + " map");
    }
  }
  return true;
}

bool read_initial(FieldReader& fields, MapSettings& settings) {
  const Json* initial = fields.field(kInitialField);
  if (initial == nullptr) return false;
  const std::size_t nvar = static_cast<std::size_t>(settings.map->nvar);
  if (!initial->is_array() || initial->size() != nvar) {
    return fields.fail(kInitialField,
                       "must be a list of " + std::to_string(nvar) + (nvar == 1 ? " number" : " numbers"));
  }
  settings.initial.assign(nvar, 0.0);
  for (std::size_t i = 0; i < nvar; ++i) {
    if (!fields.real_value(kInitialField, (*initial)[i], settings.initial[i])) return false;
  }
  return true;
}

bool read_settings(FieldReader& fields, Provenance& provenance, std::string& error) {
  MapSettings& settings = provenance.settings;
  std::int64_t transient = 0, length = 0, variable = 0;
  if (!read_map(fields, settings, error) || !read_parameters(fields, settings, error) ||
      !read_initial(fields, settings) ||
      !fields.whole(kTransientField, kShortestTransient, kLongestLength, transient) ||
      !fields.whole(kLengthField, kShortestSeries, kLongestLength, length) ||
      !fields.whole(kVariableField, 1, settings.map->nvar, variable)) {
    return false;
  }
  settings.transient = static_cast<std::int32_t>(transient);
  settings.length = static_cast<std::int32_t>(length);
  settings.variable = static_cast<std::int32_t>(variable);
  return true;
}

bool read_noise(FieldReader& fields, Provenance& provenance) {
  const Json* noise = fields.field(kNoiseField);
  if (noise == nullptr) return false;
  provenance.noise.reset();
  if (!noise->is_null()) {
    double value = 0.0;
    if (!fields.real_value(kNoiseField, *noise, value)) return false;
    if (!acceptable_noise(value)) return fields.fail(kNoiseField, "must be null or greater than 0");
    provenance.noise = value;
  }
  if (!fields.whole_or_null(kSeedField, numerics::kSmallestSeed, numerics::kLargestSeed, provenance.seed)) {
    return false;
  }
  return true;
}

bool read_outcome(FieldReader& fields, Provenance& provenance) {
  const std::int64_t most = std::numeric_limits<std::int64_t>::max();
  if (!fields.whole(kValuesWrittenField, 0, provenance.settings.length, provenance.values_written) ||
      !fields.whole_or_null(kDivergentPointField, -most, most, provenance.divergent_point) ||
      !fields.text(kSha256Field, provenance.series_sha256) || !fields.text(kCreatedField, provenance.created_utc)) {
    return false;
  }
  // Noise from an unknown seed cannot be made again. (A recording that diverged before its
  // first value drew no noise, and so has no seed.)
  if (provenance.noise && !provenance.seed && provenance.values_written > 0) {
    return fields.fail(kSeedField, "is null, but the values written have noise");
  }
  const std::string& digest = provenance.series_sha256;
  if (digest.size() != kSha256Digits || digest.find_first_not_of("0123456789abcdef") != std::string::npos) {
    return fields.fail(kSha256Field, "must be 64 lower-case hexadecimal digits");
  }
  return true;
}

}  // namespace

std::string json_real(double value) {
  if (std::isnan(value)) return json_text(kNan);
  if (std::isinf(value)) return json_text(value > 0 ? kInfinity : kMinusInfinity);
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, result.ptr);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

Provenance provenance_of(const DialogueState& state, const RecordingOutcome& outcome, std::string series_sha256,
                         std::string created_utc) {
  Provenance provenance;
  provenance.version = kVersion;
  MapSettings& settings = provenance.settings;
  settings.map = find_map(state.map_number);
  settings.parameters = state.parameters;
  for (const ParameterPrompt& prompt : settings.map->parameter_prompts) {
    settings.parameter_given[static_cast<std::size_t>(prompt.slot - 1)] = true;
  }
  settings.initial.assign(state.x0.data(), state.x0.data() + state.nvar);
  settings.transient = state.n_transient;
  settings.length = state.n_series;
  settings.variable = state.record_variable;
  if (state.add_noise) provenance.noise = state.noise_std;
  provenance.seed = outcome.noise_seed;
  provenance.values_written = outcome.values_written;
  provenance.divergent_point = outcome.divergent_point;
  provenance.series_sha256 = std::move(series_sha256);
  provenance.created_utc = std::move(created_utc);
  return provenance;
}

std::string provenance_json(const Provenance& provenance) {
  const MapSettings& settings = provenance.settings;
  MapParameters values = settings.parameters;
  std::string parameters;
  for (const ParameterPrompt& prompt : settings.map->parameter_prompts) {
    const double value = *parameter_slot(values, prompt.slot);
    parameters += (parameters.empty() ? "" : ", ") + json_text(parameter_name(prompt)) + ": " + json_real(value);
  }
  std::string initial;
  for (const double value : settings.initial) initial += (initial.empty() ? "" : ", ") + json_real(value);
  auto field = [](const char* name, const std::string& value, bool last = false) {
    return "  " + json_text(name) + ": " + value + (last ? "\n" : ",\n");
  };
  return "{\n" + field(kProgramField, json_text(kProgram)) + field(kVersionField, json_text(provenance.version)) +
         field(kMapField, "{" + json_text(kNumberField) + ": " + std::to_string(settings.map->number) + ", " +
                              json_text(kNameField) + ": " + json_text(settings.map->name) + "}") +
         field(kParametersField, "{" + parameters + "}") + field(kInitialField, "[" + initial + "]") +
         field(kTransientField, std::to_string(settings.transient)) +
         field(kLengthField, std::to_string(settings.length)) +
         field(kVariableField, std::to_string(settings.variable)) +
         field(kNoiseField, json_optional(provenance.noise, json_real)) +
         field(kSeedField, json_optional(provenance.seed, json_seed)) +
         field(kValuesWrittenField, std::to_string(provenance.values_written)) +
         field(kDivergentPointField, json_optional(provenance.divergent_point, json_integer)) +
         field(kSha256Field, json_text(provenance.series_sha256)) +
         field(kCreatedField, json_text(provenance.created_utc), true) + "}\n";
}

bool read_provenance_json(std::string_view text, Provenance& provenance, std::string& error) {
  error.clear();
  const Json object = Json::parse(text.begin(), text.end(), nullptr, false);
  if (object.is_discarded()) {
    error = "not a JSON text";
    return false;
  }
  if (!object.is_object()) {
    error = "not a JSON object";
    return false;
  }
  provenance = Provenance{};
  FieldReader fields(object, error);
  std::string program;
  if (!fields.text(kProgramField, program)) return false;
  if (program != kProgram) {
    return fields.fail(kProgramField, "is \"" + program + "\", not \"" + std::string(kProgram) + "\"");
  }
  return fields.text(kVersionField, provenance.version) && read_settings(fields, provenance, error) &&
         read_noise(fields, provenance) && read_outcome(fields, provenance);
}

}  // namespace app
