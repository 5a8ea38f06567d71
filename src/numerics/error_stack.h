#pragma once
// The numerical library's error stack. A routine that may raise an error pushes its name
// (E1PSH), sets insertion values and gives a message (E1MES), and pops its name (E1POP); the
// pop prints the pending error according to its type and may stop the program.
//
// Levels: level 1 is the caller's own level; the stack holds at most 50 levels. Each level
// keeps a routine name (32-character slot), a pending error type (0 = none), a code and the
// expanded message. The stack is process-wide, created on first use, and used by the
// program thread only.
//
// What each error type does (print and stop attributes can be changed per type):
//   1 NOTE, 2 ALERT       not printed
//   3 WARNING             printed when its routine pops
//   4 FATAL               printed when its routine pops; stops when it reaches level 1
//   5 TERMINAL            printed and stops when its routine pops
//   6 WARNING (immediate) printed by E1MES itself
//   7 FATAL (immediate)   printed and stops in E1MES itself
// On a pop an error of type 2..7 is passed down to the level below, so the caller can ask
// for it (current_error_type, current_error_code); an error is printed once only. A push
// from level 1 starts a new call from the caller's own code and clears the error that
// level 1 still held from an earlier call.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace numerics {

inline constexpr int kMaxStackLevel = 50;
inline constexpr std::size_t kRoutineNameLength = 32;

// Pushes a routine name (cut to 32 characters, trailing blanks ignored). At the maximum level
// the push is refused: the stack's overflow message is printed and the program stops.
void E1PSH(std::string_view name);

// Pops `name`, which must be the top name; an empty stack or another name prints the stack's
// message and stops the program. Otherwise handles the level's pending error (see above)
// and lowers the level by one.
void E1POP(std::string_view name);

// Expands `message_template` with the insertion values into the current level's message
// and attaches `type` and `code` to the level; the insertion values are then cleared for
// the next message. Type 0 clears the level's pending error; other types outside 1..7 are
// ignored.
void E1MES(int type, int code, std::string_view message_template);

// Insertion values for the next message: %(I1)..%(I9) and %(L1)..%(L9). Slots outside 1..9
// (for texts: whose absolute value is outside 1..9) are ignored; texts are cut to 255
// characters.
void set_integer_insertion(int slot, std::int64_t value);
void set_text_insertion(int slot, std::string_view text);

// The print and stop attributes of an error type 1..7; other types are ignored.
void set_error_print_attribute(int type, bool print);
void set_error_stop_attribute(int type, bool stop);
bool error_print_attribute(int type);
bool error_stop_attribute(int type);

// The current level (1 when no routine is active), and its pending error.
int error_stack_level();
int current_error_type();
int current_error_code();
std::string current_error_message();

// Returns the stack to its state before first use: level 1, no errors, no insertion values,
// the default attributes. For tests and harnesses that need a fresh stack in one process.
void reset_error_stack();

}  // namespace numerics
