#pragma once
// The file name of an OPEN whose FILE is blank: the next unused command-line argument; else,
// with the windowed console, its file dialog, repeated until a name is chosen or the user
// ends the program in the "File Open Error" box; else the console prompt on standard output
// answered from standard input.

#include <cstdint>
#include <string>

namespace runtime {

// Returns 0 with `name` set (blanks stripped), or an error number: 24 when standard input
// ends (or fails) before a name is given; 43 when the file dialog is refused again and again
// (kMaxFileDialogRounds times), so that a dialog that can never succeed cannot loop for ever.
// Answering Yes in the "File Open Error" box ends the program with exit status 1.
[[nodiscard]] int ask_for_file_name(std::int32_t unit, std::string& name);

inline constexpr int kMaxFileDialogRounds = 100;

}  // namespace runtime
