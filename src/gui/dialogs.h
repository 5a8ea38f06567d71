#pragma once
// The message boxes and the file dialog of the console, shown on the GUI thread: the
// console's warning, error and fatal error boxes, the run-time error box, questions such as
// "File Open Error", the end-of-program box, and the file dialog of a blank-name OPEN.
// Texts arrive as bytes in the system's 8-bit character set; their line ends (CR LF, CR,
// LF) become line breaks. The run-time error box shows its text (with its traceback's
// columns) in the fixed-pitch font.

#include <QFont>
#include <QString>

#include <string>
#include <string_view>

#include "console/presentation.h"

class QWidget;

namespace gui {

// `text` as shown in a box: Latin-1, every CR LF, lone CR and LF a line break.
QString box_text(std::string_view text);

// The desktop's fixed-pitch font, or Liberation Mono where the desktop names none.
QFont fixed_pitch_font();

// Runs the box modally over `parent` (null: no owner) and returns the button chosen.
console::MessageBoxAnswer show_message_box(QWidget* parent, const console::MessageBoxRequest& request);

// Runs the file dialog; false when cancelled. `name` receives the chosen file's full path.
bool show_file_dialog(QWidget* parent, const console::FileDialogRequest& request, std::string& name);

}  // namespace gui
