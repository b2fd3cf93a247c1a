// The application object: hardens the process, prepares the controls and runs one of the two
// modes.
#pragma once

#include <windows.h>

#include <string>

namespace pm {

class TheApp {
  public:
    // The program's only entry into its own logic. Always returns 0; the process's exit code is
    // ExitCode() afterwards.
    int InitInstance();

    // 0, or the silent installation's failure code (5, 7, 11; 10 when the viewer runs).
    int ExitCode() const { return m_nExitCode; }

  private:
    void RunSilent(const std::wstring& commandLine);
    void RunWizard();

    int m_nExitCode = 0;
};

// Restricts the DLL search order through kernel32's SetDefaultDllDirectories, found by the
// module's full path; 0 when the entry does not exist.
BOOL HardenDllSearchPath(DWORD flags);

// Themed frames and controls through UxTheme's SetThemeAppProperties, loaded by full path.
void EnableVisualStyles();

}  // namespace pm
