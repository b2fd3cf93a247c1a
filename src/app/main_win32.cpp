#include <windows.h>

#include "app/app_win32.h"

namespace {
pm::TheApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    theApp.InitInstance();
    return theApp.ExitCode();
}
