// Stand-in for the image viewer in the sample installation: a window of the viewer's class
// "Pixelmoor" whose title names what it was asked to show.
//   p_moor32.exe                  "Pixelmoor"
//   p_moor32.exe FILE             "FILE - Pixelmoor"
//   p_moor32.exe /thumbs          "Pixelmoor - Thumbnails"
//   p_moor32.exe FOLDER /thumbs   "Pixelmoor - Thumbnails - FOLDER" (the folder and drive
//                                 verbs; "/thumbs FOLDER" is taken as well)
// "/thumbs" is matched without regard to case; of several paths the first counts.
#include <windows.h>

#include <string>
#include <vector>

namespace {

const wchar_t kClassName[] = L"Pixelmoor";

std::wstring g_title;
std::wstring g_line;

// Arguments behind the program name. A quoted argument runs to the next quote, with
// backslashes taken literally, so that a drive verb's "D:\" stays the path D:\ (the
// run-time's rules would read \" as a quote inside the argument).
std::vector<std::wstring> Arguments(const wchar_t* commandLine) {
    std::vector<std::wstring> arguments;
    const wchar_t* p = commandLine;
    bool first = true;
    while (*p != L'\0') {
        while (*p == L' ' || *p == L'\t') {
            ++p;
        }
        if (*p == L'\0') {
            break;
        }
        std::wstring argument;
        while (*p != L'\0' && *p != L' ' && *p != L'\t') {
            if (*p == L'"') {
                for (++p; *p != L'\0' && *p != L'"'; ++p) {
                    argument += *p;
                }
                if (*p == L'"') {
                    ++p;
                }
            } else {
                argument += *p++;
            }
        }
        if (!first) {
            arguments.push_back(argument);
        }
        first = false;
    }
    return arguments;
}

std::wstring WindowTitle(const std::vector<std::wstring>& arguments, std::wstring& line) {
    bool thumbs = false;
    const std::wstring* path = nullptr;
    for (const std::wstring& argument : arguments) {
        if (lstrcmpiW(argument.c_str(), L"/thumbs") == 0) {
            thumbs = true;
        } else if (path == nullptr) {
            path = &argument;
        }
    }
    if (thumbs) {
        line = L"Pixelmoor-Beispielpaket: Vorschaubild-Ansicht";
        std::wstring title = L"Pixelmoor - Thumbnails";
        if (path != nullptr) {
            title += L" - ";
            title += *path;
            line += L" von ";
            line += *path;
        }
        return title;
    }
    if (path != nullptr) {
        line = L"Pixelmoor-Beispielpaket: ";
        line += *path;
        return *path + L" - Pixelmoor";
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

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    g_title = WindowTitle(Arguments(GetCommandLineW()), g_line);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) {
        return 2;
    }
    HWND window =
        CreateWindowExW(0, kClassName, g_title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
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
