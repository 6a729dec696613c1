#include "toolkit/syscall.h"

#include <string>

namespace tk {

namespace {
// LOAD_LIBRARY_SEARCH_SYSTEM32, spelled out: older SDK headers declare it only for newer targets.
constexpr DWORD kSearchSystem32 = 0x00000800;

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

SetDefaultDllDirectoriesFn SetDefaultDllDirectoriesCall() {
    // kernel32 is loaded in every process, from the system folder: asking it by name is safe.
    static const auto call = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    return call;
}
} // namespace

SystemLoad ChooseSystemLoad(bool setDefaultDllDirectoriesPresent) {
    return setDefaultDllDirectoriesPresent ? SystemLoad::SearchSystem32 : SystemLoad::FullSystemPath;
}

HMODULE LoadSystemLibrary(const wchar_t* module) {
    if (ChooseSystemLoad(SetDefaultDllDirectoriesCall() != nullptr) == SystemLoad::SearchSystem32) {
        return LoadLibraryExW(module, nullptr, kSearchSystem32);
    }
    wchar_t folder[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return nullptr;
    }
    const std::wstring path = std::wstring(folder, n) + L"\\" + module;
    return LoadLibraryW(path.c_str());
}

void LoadLibrariesFromSystemFolderOnly() {
    if (const auto call = SetDefaultDllDirectoriesCall()) {
        call(kSearchSystem32);
    }
}

} // namespace tk
