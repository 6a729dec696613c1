// A stand-in for a system library, to be put next to a copy of tolvin.exe: loaded into a
// process, it says so through a named event that lives as long as the process.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        CreateEventW(nullptr, TRUE, TRUE, L"Local\\TolvinPlantedLibrary-" TOLVIN_PLANTED_NAME);
    }
    return TRUE;
}
