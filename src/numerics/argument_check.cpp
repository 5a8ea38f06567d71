#include "numerics/argument_check.h"

#include "numerics/error_printing.h"
#include "numerics/error_stack.h"

namespace numerics {

bool check_integer_argument(std::int64_t value, std::string_view argument_name, std::int64_t lower_bound,
                            std::int64_t upper_bound, int& error_code) {
  const bool has_upper_bound = upper_bound >= lower_bound;
  const bool in_bounds = value >= lower_bound && (!has_upper_bound || value <= upper_bound);
  if (!in_bounds) {
    set_text_insertion(1, argument_name);
    set_integer_insertion(1, value);
    set_integer_insertion(2, lower_bound);
    if (has_upper_bound) set_integer_insertion(3, upper_bound);
    E1MES(kTerminal, error_code, has_upper_bound ? kBoundsTemplate : kLowerBoundTemplate);
  }
  ++error_code;
  return in_bounds;
}

bool check_count_argument(std::string_view routine, std::string_view count_name, std::int32_t count,
                          std::size_t capacity) {
  if (count >= 1 && static_cast<std::size_t>(count) <= capacity) return true;
  E1PSH(routine);
  int error_code = 1;
  if (count < 1) {
    check_integer_argument(count, count_name, 1, 0, error_code);
  } else {
    // The array is shorter than the count. Written out directly because an empty array
    // gives the bounds 1..0, which the general check would read as "no upper bound".
    set_text_insertion(1, count_name);
    set_integer_insertion(1, count);
    set_integer_insertion(2, 1);
    set_integer_insertion(3, static_cast<std::int64_t>(capacity));
    E1MES(kTerminal, error_code, kBoundsTemplate);
  }
  E1POP(routine);
  return false;
}

}  // namespace numerics
