#include "gui/profile_settings.h"

#include <QSettings>

namespace gui {

QString default_settings_file(const QString& program_title) {
  const QSettings settings(QSettings::IniFormat, QSettings::UserScope, program_title);
  return settings.fileName();
}

int read_profile_key(const QString& program_title, const QString& settings_file) {
  const QString file = settings_file.isEmpty() ? default_settings_file(program_title) : settings_file;
  const QSettings settings(file, QSettings::IniFormat);
  if (settings.status() != QSettings::NoError) return 0;
  bool ok = false;
  const int value = settings.value(program_title + QLatin1Char('/') + QLatin1String(kProfileKey), 0).toInt(&ok);
  return ok ? value : 0;
}

}  // namespace gui
