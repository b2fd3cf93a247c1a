#include "shell/register_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "shell/links_win32.h"
#include "shell/os_version_win32.h"

namespace pm {
namespace win {

void NotifyAssociationsChanged() {
    ::SystemParametersInfoW(SPI_SETICONS, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, nullptr, nullptr);
}

int IsWindows8OrLater() { return pm::IsWindows8OrLater(QueryOsVersion()) ? 1 : 0; }

void ApplyRegistrationPlan(const RegistrationPlan& plan, const RegRoots& roots) {
    ApplyLinkPlan(plan.links);
    ApplyRegistryPlan(plan.registry, roots);
    if (plan.notifyShell) NotifyAssociationsChanged();
}

}  // namespace win

int RegisterApplication(int associateConfirmed, int anyTypeChosen,
                        const std::wstring& installFolder, int startMenuGroup, int desktopLink,
                        int thumbnailsLink, int allUsers, const pm::TypeSelection& typeSelection,
                        int allUsersXp) {
    const RegistrationInputs in{associateConfirmed, anyTypeChosen, installFolder,
                                startMenuGroup,     desktopLink,   thumbnailsLink,
                                allUsers,           typeSelection, allUsersXp};
    win::ApplyRegistrationPlan(PlanRegistration(in, win::QueryOsVersion()));
    return 1;
}

}  // namespace pm
