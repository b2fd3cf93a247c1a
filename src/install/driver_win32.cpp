#include "install/driver_win32.h"

#include <windows.h>

#include "common/system_win32.h"
#include "install/exit_codes.h"
#include "install/extract_win32.h"
#include "install/icon_library_win32.h"
#include "install/install_steps_win32.h"
#include "install/install_log_win32.h"
#include "install/paths.h"
#include "install/paths_win32.h"
#include "install/percent_win32.h"
#include "install/settings_file_win32.h"
#include "shell/register_win32.h"

namespace pm {
namespace {

// String-table ids of the driver's messages.
constexpr UINT kStringInvalidFolder = 5;
constexpr UINT kStringExtractionFailed = 7;
constexpr UINT kStringAssociateQuestion = 9;
constexpr UINT kStringFolderNotCreated = 11;

// Reports a failure the way the mode asks for: a "first: second" log entry in silent mode
// (the message is one of the two parts), an error box owned by the active window otherwise.
// Gives the driver's failure result.
int Fail(const InstallOptions& options, int* exitCode, ExitCode code, const std::wstring& message,
         const std::wstring& first, const std::wstring& second) {
    if (options.silent) {
        WriteInstallLog(first + L": " + second);
    } else {
        ::MessageBoxW(::GetActiveWindow(), message.c_str(), options.caption.c_str(),
                      MB_OK | MB_ICONERROR);
    }
    if (exitCode) *exitCode = code;
    return 0;
}

// A folder failure: the message first, then the folder.
int FailWithFolder(const InstallOptions& options, int* exitCode, ExitCode code, UINT stringId,
                   const std::wstring& folder) {
    const std::wstring message = win::LoadResourceString(stringId);
    return Fail(options, exitCode, code, message, message, folder);
}

// The question before file types are associated (wizard only): 0 when the user answers No.
int ConfirmAssociations(const InstallOptions& options) {
    if (!options.anyTypeChosen || options.silent) return 1;
    const std::wstring question = win::LoadResourceString(kStringAssociateQuestion);
    const int answer = ::MessageBoxW(::GetActiveWindow(), question.c_str(), options.caption.c_str(),
                                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    return answer == IDNO ? 0 : 1;
}

}  // namespace

int RunInstallation(InstallOptions& options, int* exitCode) {
    if (exitCode) *exitCode = kExitSuccess;

    // The target copy, normalised in place by the folder creation.
    std::wstring target = options.installFolder;

    // Refuse before anything is created: an empty target, a target so long that a path composed
    // from it would not fit, and a settings folder without room for the settings files.
    if (target.empty() || !InstallFolderFits(target)) {
        return FailWithFolder(options, exitCode, kExitInvalidFolder, kStringInvalidFolder, target);
    }
    std::wstring defaultFolder;
    GetDefaultInstallFolder(defaultFolder);
    {
        const std::wstring settings = ChooseSettingsFolder(options, defaultFolder);
        if (!settings.empty() && !SettingsFolderFits(ExpandEnvironmentReferences(settings))) {
            return FailWithFolder(options, exitCode, kExitInvalidFolder, kStringInvalidFolder,
                                  settings);
        }
    }

    if (!CreateFolderPath(target)) {
        return FailWithFolder(options, exitCode, kExitFolderNotCreated, kStringFolderNotCreated,
                              target);
    }

    // Plugins folder and the icon-library rule.
    const int skipIconLibrary = DecideIconLibraryRule(target);

    // Payload extraction into the target folder. Its failure is reported with the target copy
    // first and string 7 second, exit code 7.
    if (ExtractPayload(1974, L"ZIP", L"pmoorg_x32.zip", target.c_str(), skipIconLibrary) != 0) {
        const std::wstring message = win::LoadResourceString(kStringExtractionFailed);
        return Fail(options, exitCode, kExitExtractionFailed, message, target, message);
    }

    // Install folder path, settings folder and seeding of the settings files.
    const std::wstring activeSettingsFile = PlaceSettingsFiles(options, defaultFolder);

    const int associateConfirmed = ConfirmAssociations(options);

    // Registration with the system (its result is always 1), then the settings file's
    // conversion to UTF-16. The install folder goes on as the caller gave it.
    RegisterApplication(associateConfirmed, options.anyTypeChosen, options.installFolder,
                        options.startMenuGroup, options.desktopLink, options.thumbnailsLink,
                        options.allUsers, options.typeSelection, options.allUsersXp);
    ConvertSettingsFileToUnicode(activeSettingsFile);

    return 1;
}

}  // namespace pm
