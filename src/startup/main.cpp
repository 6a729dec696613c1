// Entry point: the program has no main window; it lives on the events of its markers
// and its control panel until the registry ends it.
#include "startup/basTolvin.h"
#include "toolkit/syscall.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything is loaded on the program's behalf: never from the program's own folder.
    tk::LoadLibrariesFromSystemFolderOnly();
    Main(ArgumentText(GetCommandLineW(), ProgramPath()));
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
