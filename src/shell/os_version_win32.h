// Reads the operating-system version once, for the decisions that depend on it.
#pragma once

#include "shell/os_class.h"

namespace pm::win {

// GetVersionExW with a plain OSVERSIONINFOW (size field 276). A failed query gives the zero
// version, which belongs to no class.
OsVersion QueryOsVersion();

}  // namespace pm::win
