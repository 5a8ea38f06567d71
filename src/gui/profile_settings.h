#pragma once
// The profile key "ZODAVeveziviz": an integer in the section named by the program title of
// the user's settings file (an INI file named by the program title). A non-zero value shows
// the frame maximised at start-up. Missing or unreadable: 0.

#include <QString>

namespace gui {

inline constexpr const char* kProfileKey = "ZODAVeveziviz";

// `settings_file` names the INI file; empty: the user's file for `program_title`.
int read_profile_key(const QString& program_title, const QString& settings_file = {});

// The user's settings file for `program_title`.
QString default_settings_file(const QString& program_title);

}  // namespace gui
