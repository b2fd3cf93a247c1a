// Stands in for the running viewer: holds a top-level window of the viewer's class "Pixelmoor"
// until it is closed (WM_CLOSE) or until the stop file appears.
//   viewer_window.exe READY_FILE [STOP_FILE]
// READY_FILE is created once the window exists.
#include <windows.h>
#include <shellapi.h>

namespace {

const wchar_t* g_stopFile = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER:
            if (g_stopFile && GetFileAttributesW(g_stopFile) != INVALID_FILE_ATTRIBUTES)
                DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    if (argc >= 3) g_stopFile = argv[2];

    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"Pixelmoor";
    if (!RegisterClassW(&wc)) return 3;
    HWND hwnd = CreateWindowExW(0, L"Pixelmoor", L"Pixelmoor", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 4;
    SetTimer(hwnd, 1, 100, nullptr);

    HANDLE ready = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready == INVALID_HANDLE_VALUE) return 5;
    CloseHandle(ready);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    LocalFree(argv);
    return 0;
}
