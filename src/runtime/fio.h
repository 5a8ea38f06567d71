#pragma once
// The formatted I/O runtime as a program uses it: statements, items, formats, errors and
// the start-up and termination services.

#include "runtime/edit_descriptor.h"
#include "runtime/format/format.h"
#include "runtime/io/statements.h"
#include "runtime/io_item.h"
#include "runtime/statement_flags.h"
#include "runtime/support/errors.h"
#include "runtime/support/lifecycle.h"
#include "runtime/window_services.h"
