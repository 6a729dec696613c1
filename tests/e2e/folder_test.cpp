// The program run from a folder anyone can write to (a Downloads folder): libraries put next to
// it under the names of system libraries it loads are never loaded.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/"));
}

bool Announced(const wchar_t* library) {
    HANDLE e =
        OpenEventW(SYNCHRONIZE, FALSE, (std::wstring(L"Local\\TolvinPlantedLibrary-") + library).c_str());
    if (e) {
        CloseHandle(e);
    }
    return e != nullptr;
}

} // namespace

TEST(Folder, LibrariesNamedLikeSystemOnesNextToTheProgramAreNeverLoaded) {
    wchar_t self[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    const std::wstring planted = FolderOf(self) + L"\\planted";
    const std::wstring downloads =
        std::wstring(temp) + L"tolvin-downloads-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(downloads.c_str(), nullptr);
    const std::wstring program = downloads + L"\\tolvin.exe";
    ASSERT_TRUE(CopyFileW(g_tolvinPath.c_str(), program.c_str(), FALSE));
    for (const wchar_t* library : {L"dwmapi", L"shcore"}) {
        const std::wstring name = std::wstring(L"\\") + library + L".dll";
        ASSERT_TRUE(CopyFileW((planted + name).c_str(), (downloads + name).c_str(), FALSE)) << library;
        ASSERT_FALSE(Announced(library)) << library;
    }
    {
        Tolvin app(L"", program);
        ASSERT_NE(app.Marker(1), nullptr); // past the choice of capture path and the scaling lookup
        EXPECT_FALSE(Announced(L"dwmapi")) << "dwmapi.dll from the program's folder was loaded";
        EXPECT_FALSE(Announced(L"shcore")) << "shcore.dll from the program's folder was loaded";
    }
    // The stand-ins do announce themselves once loaded (here, into this test).
    HMODULE loaded = LoadLibraryW((downloads + L"\\dwmapi.dll").c_str());
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(Announced(L"dwmapi"));
    FreeLibrary(loaded);
    for (const wchar_t* file : {L"\\tolvin.exe", L"\\dwmapi.dll", L"\\shcore.dll"}) {
        DeleteFileW((downloads + file).c_str());
    }
    RemoveDirectoryW(downloads.c_str());
}
