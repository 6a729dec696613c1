// Calls that only some systems have (newer Windows, not Wine), loaded by name: the program still
// starts where a library or a function is missing, and the caller says what it does then.
#pragma once
#include <windows.h>

namespace tk {

// The function `name` of system library `module` (loaded if needed), or null.
template <typename Fn> Fn LoadSystemCall(const wchar_t* module, const char* name) {
    HMODULE m = GetModuleHandleW(module);
    if (!m) {
        m = LoadLibraryW(module);
    }
    return m ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

} // namespace tk
