// Stand-in for the uninstaller in the sample installation: says what it is and removes nothing.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(
        nullptr,
        L"Dieses Programm geh\u00f6rt zum Beispielpaket von Pixelmoor 4.59 und "
        L"deinstalliert nichts.\n\nDateien, Verkn\u00fcpfungen und Registrierungseintr\u00e4ge "
        L"bleiben unver\u00e4ndert.",
        L"Pixelmoor deinstallieren", MB_OK | MB_ICONINFORMATION);
    return 0;
}
