#pragma once
// Which thread registered the windowed console's routines (its GUI thread). Safe to call in a
// signal handler.

namespace runtime {

bool window_services_registered_by_this_thread();

}  // namespace runtime
