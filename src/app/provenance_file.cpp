#include "app/provenance_file.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSaveFile>

#include <ctime>

namespace app {
namespace {

QString file_name(const std::string& path) { return QFile::decodeName(path.c_str()); }

std::string reason(const QFileDevice& file) { return file.errorString().toStdString(); }

}  // namespace

std::string sidecar_path(std::string_view series_path) {
  return std::string(series_path) + std::string(kSidecarExtension);
}

std::optional<std::string> file_sha256(const std::string& path, std::string& error) {
  QFile file(file_name(path));
  QCryptographicHash hash(QCryptographicHash::Sha256);
  if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file) || file.error() != QFileDevice::NoError) {
    error = "cannot read " + path + ": " + reason(file);
    return std::nullopt;
  }
  return hash.result().toHex().toStdString();
}

std::string utc_now() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  char text[32] = "";
  if (now == static_cast<std::time_t>(-1) || gmtime_r(&now, &utc) == nullptr ||
      std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc) == 0) {
    return "unknown";
  }
  return text;
}

bool write_provenance_file(const std::optional<std::string>& series_path, const DialogueState& state,
                           const RecordingOutcome& outcome, std::string& error) {
  if (!series_path) {
    error = "the series did not go to a regular file, so no provenance file is written";
    return false;
  }
  const std::optional<std::string> digest = file_sha256(*series_path, error);
  if (!digest) return false;
  const std::string text = provenance_json(provenance_of(state, outcome, *digest, utc_now()));
  const std::string path = sidecar_path(*series_path);
  // The sidecar replaces an older one only once it is written whole.
  QSaveFile file(file_name(path));
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) || !file.commit()) {
    error = "cannot write " + path + ": " + reason(file);
    return false;
  }
  return true;
}

bool read_provenance_file(const std::string& path, Provenance& provenance, std::string& error) {
  QFile file(file_name(path));
  if (!file.open(QIODevice::ReadOnly)) {
    error = "cannot read " + path + ": " + reason(file);
    return false;
  }
  const QByteArray text = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    error = "cannot read " + path + ": " + reason(file);
    return false;
  }
  if (!read_provenance_json(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), provenance,
                            error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace app
