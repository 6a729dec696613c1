// Entry point: the program has no main window; it lives on the events of its markers
// and its control panel until the registry ends it.
#include "startup/basTolvin.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Main(ArgumentText(GetCommandLineW(), ProgramPath()));
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
