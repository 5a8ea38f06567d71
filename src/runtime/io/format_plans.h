#pragma once
// Plans of fixed formats whose every record holds one data descriptor and nothing else, such
// as "(F20.10)": a WRITE under such a format lays out its items without stepping the format
// (one field per record, a new record per item), which keeps a million-record series file
// cheap. Whether a format qualifies is found once per thread by walking it with the format
// interpreter; the cache entry is checked against the format's text, so a plan is never used
// for another format.

#include "runtime/edit_descriptor.h"
#include "runtime/format/format.h"

namespace runtime {

struct SingleFieldPlan {
  bool single_field = false;  // every record is exactly one use of `descriptor`
  EditDescriptor descriptor;
};

// The plan of `format` (compiled as `compiled`).
SingleFieldPlan single_field_plan(const FixedFormat& format, CompiledFormat& compiled);

// Walks `compiled` to decide whether it is a single-field format.
SingleFieldPlan make_single_field_plan(CompiledFormat& compiled);

}  // namespace runtime
