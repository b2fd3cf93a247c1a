// Carries out planned registry operations in order. Every failure is ignored: a key that cannot
// be opened or created simply receives none of its values.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "shell/registration_plan.h"

namespace pm::win {

// The key each RegRoot stands for, in enum order. Tests point them at scratch keys.
using RegRoots = std::array<HKEY, 3>;
inline const RegRoots kSystemRoots = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT};

// Applies one operation; returns the status of its last registry call (ERROR_SUCCESS when it
// did all it planned).
LONG ApplyRegOp(const RegOp& op, const RegRoots& roots);

void ApplyRegistryPlan(const std::vector<RegOp>& ops, const RegRoots& roots = kSystemRoots);

}  // namespace pm::win
