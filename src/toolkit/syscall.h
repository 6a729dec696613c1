// Calls that only some systems have (newer Windows, not Wine), loaded by name: the program still
// starts where a library or a function is missing, and the caller says what it does then.
#pragma once
#include <windows.h>

namespace tk {

// How a system library is loaded. Never by its bare name: LoadLibrary looks in the program's own
// folder first, and a DLL of the same name put next to the exe (a Downloads folder) would run
// inside the program.
enum class SystemLoad {
    // LoadLibraryEx with LOAD_LIBRARY_SEARCH_SYSTEM32: only the system folder is searched.
    SearchSystem32,
    // The flag is unknown (Windows 7 without update KB2533623, where LoadLibraryEx refuses it with
    // ERROR_INVALID_PARAMETER): the full path of the library in the system folder.
    FullSystemPath,
};
// Microsoft documents LOAD_LIBRARY_SEARCH_SYSTEM32 as supported wherever SetDefaultDllDirectories
// exists (Windows 8 and later, Windows 7 with KB2533623), so its presence in kernel32 decides.
SystemLoad ChooseSystemLoad(bool setDefaultDllDirectoriesPresent);

// The system library `module` (a file name such as L"dwmapi.dll"), loaded from the system folder
// only; null where the system has none.
HMODULE LoadSystemLibrary(const wchar_t* module);

// Makes the system folder the only place from which this process loads libraries by name, for
// the libraries the system itself loads on the program's behalf; nothing where that is unknown.
void LoadLibrariesFromSystemFolderOnly();

// The function `name` of system library `module` (loaded if needed), or null.
template <typename Fn> Fn LoadSystemCall(const wchar_t* module, const char* name) {
    HMODULE m = LoadSystemLibrary(module);
    return m ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

} // namespace tk
