// Registers the installed viewer with Windows: links, application class, uninstall entry,
// Default Programs capabilities, folder and drive verbs and the file-type associations.
#pragma once

#include <string>

#include "install/install_options.h"
#include "shell/registration_plan.h"
#include "shell/registry_apply_win32.h"

namespace pm {

// Shows no window and reports nothing: registry and link failures are ignored. Always 1.
// An install folder longer than kMaxInstallFolderLength (trimmed, with its backslash) is not
// registered at all; the driver refuses such folders before.
int RegisterApplication(int associateConfirmed, int anyTypeChosen,
                        const std::wstring& installFolder, int startMenuGroup, int desktopLink,
                        int thumbnailsLink, int allUsers, const pm::TypeSelection& typeSelection,
                        int allUsersXp);

namespace win {

// Carries out a plan: links, registry writes in order, then the shell notification.
void ApplyRegistrationPlan(const RegistrationPlan& plan, const RegRoots& roots = kSystemRoots);

// Tells the system to reload its icons and the shell to reread the associations.
void NotifyAssociationsChanged();

// NT 6.2 or later by GetVersionExW (1), else 0.
int IsWindows8OrLater();

}  // namespace win
}  // namespace pm
