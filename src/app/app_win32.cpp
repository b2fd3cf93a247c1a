#include "app/app_win32.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "app/cmdline.h"
#include "common/system_win32.h"
#include "install/driver_win32.h"
#include "install/exit_codes.h"
#include "install/install_log_win32.h"
#include "install/paths_win32.h"

namespace pm {
namespace {

constexpr UINT kStringViewerRunning = 10;
constexpr wchar_t kViewerWindowClass[] = L"Pixelmoor";

// Shown in place of the wizard, which this build does not contain.
constexpr wchar_t kSilentOnlyMessage[] =
    L"Diese Ausgabe des Pixelmoor-Setups installiert nur im stillen Modus.\n\n"
    L"Bitte starten Sie das Setup mit der Option /silent, zum Beispiel:\n\n"
    L"pixelmoor-4.59-setup-x32.exe /silent /folder=\"C:\\Programme\\Pixelmoor\" /desktop=1 "
    L"/group=1 /assoc=1\n\n"
    L"Weitere Optionen: /thumbs=1, /allusers=1, /assocallusers, /ini=Ordner";

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetThemeAppPropertiesFn = void(WINAPI*)(DWORD);

}  // namespace

BOOL HardenDllSearchPath(DWORD flags) {
    HMODULE kernel = ::GetModuleHandleW(win::SystemDirectoryFile(L"kernel32.dll").c_str());
    if (!kernel) return 0;
    auto setDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    return setDirectories ? setDirectories(flags) : 0;
}

void EnableVisualStyles() {
    // Loaded once and kept for the process's lifetime; a failed load is tried again next time.
    static HMODULE uxTheme = nullptr;
    static SetThemeAppPropertiesFn setThemeAppProperties = nullptr;
    if (!uxTheme) {
        uxTheme = win::LoadSystemLibrary(L"UxTheme.dll");
        if (!uxTheme) return;
        setThemeAppProperties = reinterpret_cast<SetThemeAppPropertiesFn>(
            reinterpret_cast<void*>(::GetProcAddress(uxTheme, "SetThemeAppProperties")));
    }
    if (setThemeAppProperties) setThemeAppProperties(STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS);
}

int TheApp::InitInstance() {
    HardenDllSearchPath(LOAD_LIBRARY_SEARCH_SYSTEM32);
    EnableVisualStyles();
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    const std::wstring commandLine = ::GetCommandLineW();
    if (IsSilentCommandLine(commandLine)) {
        RunSilent(commandLine);
    } else {
        RunWizard();
    }
    return 0;
}

void TheApp::RunSilent(const std::wstring& commandLine) {
    if (::FindWindowW(kViewerWindowClass, nullptr)) {
        WriteInstallLog(win::LoadResourceString(kStringViewerRunning));
        m_nExitCode = kExitViewerRunning;
        return;
    }
    FolderDefaults defaults;
    std::wstring folder;
    if (FindExistingInstallFolder(folder)) {
        defaults.existingFolder = folder;
    } else {
        GetDefaultInstallFolder(defaults.defaultFolder);
    }
    InstallOptions options = ParseSilentOptions(commandLine, defaults);
    int exitCode = kExitSuccess;
    RunInstallation(options, &exitCode);
    m_nExitCode = exitCode;
}

void TheApp::RunWizard() {
    ::MessageBoxW(nullptr, kSilentOnlyMessage, kSilentCaption, MB_OK | MB_ICONINFORMATION);
    m_nExitCode = kExitSuccess;
}

}  // namespace pm
