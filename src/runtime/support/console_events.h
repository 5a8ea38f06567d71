#pragma once
// Console events and the thread that handles them. SIGINT is control-C, SIGQUIT
// control-BREAK, SIGHUP window-CLOSE, and SIGTERM (the system asking the program to close) is
// handled as window-CLOSE. The signals are blocked in the thread that starts the runtime (so
// every thread it creates inherits the mask) and taken on a dedicated thread, so that
// reporting an event and closing units never run inside a signal handler. Threads that
// existed before and do not block them pass them on to that thread.
//
// Once a console event that ends the program is pending, the end is the event's: another end
// that would race it (the terminal's end of input) asks claim_program_end first and leaves
// the ending to the event. The event thread claims the end while the signal is still pending
// (it looks before it takes the signal), so there is no moment at which an event has arrived
// and neither the pending set nor the claim shows it.
//
// The same thread finishes the report of a processor exception that a signal handler has
// prepared (see processor_exceptions.h): the handler hands over with a real-time signal.

#include <string_view>

namespace runtime {

struct ConsoleEvent {
  int signal_number;
  std::string_view name;  // as shown in message 200
  int exit_status;
};

// The event of `signal_number`, or null when the signal is not a console event.
const ConsoleEvent* find_console_event(int signal_number);

// Blocks the console-event signals and the hand-over signal in the calling thread, starts the
// event thread and installs the pass-on handlers. False when the thread cannot be started:
// the signals are then left with their default actions.
bool start_console_event_thread();

// Signal-safe: asks the event thread to finish a prepared processor-exception report. False
// when there is no event thread or the caller is that thread.
bool hand_over_to_event_thread();

// What the event thread does with console event `event`: reports error 200 with the event's
// name, runs the exit handler, hands over to the windowing runtime's end sequence, and exits
// with the event's status. When the program installed a handler of its own for the signal,
// that handler is called instead; when it ignores the signal, nothing happens. When another
// end of the program was claimed first, nothing happens either: that end is under way.
void handle_console_event(const ConsoleEvent& event);

// Claims the end of the program for an end that is not a console event (the terminal's end
// of input). False when a console event that ends the program is pending or being handled:
// the event ends the program, and the caller must leave it to the event. True for every
// later call once claimed.
bool claim_program_end();

}  // namespace runtime
