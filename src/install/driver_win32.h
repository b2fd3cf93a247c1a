// The installation sequence: one installation from an InstallOptions record, in either mode.
#pragma once

#include "install/install_options.h"

namespace pm {

// Runs one installation on the calling thread. Returns 1 when the installation went through
// (also when the user declined the association question), 0 when it stopped at a reported
// failure: in silent mode the failure is written to the install log, in the wizard it is shown
// in a message box owned by the active window. options.settingsFolder may be filled with the
// silent-mode default. When exitCode is given it receives the silent-mode exit code: 0 on
// success, 5 for an empty or unusable target or settings folder, 11 when the target folder
// cannot be created, 7 when the payload cannot be installed. Nothing done before a failure is
// undone.
int RunInstallation(InstallOptions& options, int* exitCode);

}  // namespace pm
