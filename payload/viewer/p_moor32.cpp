// Stand-in for the image viewer in the sample installation: a window of the viewer's class
// "Pixelmoor" whose title names what it was asked to show.
//   p_moor32.exe                  "Pixelmoor"
//   p_moor32.exe FILE             "FILE - Pixelmoor"
//   p_moor32.exe /thumbs [FOLDER] "Pixelmoor - Thumbnails" [" - FOLDER"]
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

const wchar_t kClassName[] = L"Pixelmoor";

std::wstring g_title;
std::wstring g_line;

std::wstring WindowTitle(int argc, wchar_t** argv, std::wstring& line) {
    if (argc >= 2 && lstrcmpiW(argv[1], L"/thumbs") == 0) {
        line = L"Pixelmoor-Beispielpaket: Vorschaubild-Ansicht";
        std::wstring title = L"Pixelmoor - Thumbnails";
        if (argc >= 3) {
            title += L" - ";
            title += argv[2];
        }
        return title;
    }
    if (argc >= 2) {
        line = L"Pixelmoor-Beispielpaket: ";
        line += argv[1];
        return std::wstring(argv[1]) + L" - Pixelmoor";
    }
    line = L"Pixelmoor-Beispielpaket";
    return L"Pixelmoor";
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        DrawTextW(dc, g_line.c_str(), static_cast<int>(g_line.size()), &client,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr) {
        return 1;
    }
    g_title = WindowTitle(argc, argv, g_line);
    LocalFree(argv);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) {
        return 2;
    }
    HWND window = CreateWindowExW(0, kClassName, g_title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 3;
    }
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
