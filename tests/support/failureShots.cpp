#include "support/failureShots.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace testing_support {

namespace {

std::wstring Widen(const std::string& s) {
    std::wstring out(s.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, out.data(), static_cast<int>(out.size()));
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

bool SaveDesktop(const std::wstring& path) {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = -h; // top-down
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (mem && bmp) {
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, w, h, screen, x, y, SRCCOPY);
        GdiFlush();
        SelectObject(mem, old);
        const DWORD size = static_cast<DWORD>(w) * h * 4;
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42; // "BM"
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + size;
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ok = WriteFile(f, &file, sizeof file, &written, nullptr) &&
                 WriteFile(f, &info, sizeof info, &written, nullptr) &&
                 WriteFile(f, bits, size, &written, nullptr);
            CloseHandle(f);
        }
    }
    if (bmp) {
        DeleteObject(bmp);
    }
    if (mem) {
        DeleteDC(mem);
    }
    ReleaseDC(nullptr, screen);
    return ok;
}

class Shots : public testing::EmptyTestEventListener {
public:
    explicit Shots(std::wstring dir) : dir_(std::move(dir)) {}

private:
    void OnTestStart(const testing::TestInfo&) override { taken_ = false; }
    void OnTestPartResult(const testing::TestPartResult& result) override {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        if (taken_ || !result.failed() || !test) {
            return;
        }
        taken_ = true;
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        for (char& c : name) {
            c = (c == '/' || c == '\\') ? '_' : c;
        }
        const std::wstring path = dir_ + L"\\" + Widen(name) + L".bmp";
        if (SaveDesktop(path)) {
            std::printf("[ SCREEN   ] %ls\n", path.c_str());
        }
    }

    std::wstring dir_;
    bool taken_ = false;
};

} // namespace

void SaveScreenshotsOfFailures() {
    const wchar_t* dir = _wgetenv(L"TOLVIN_FAILURE_DIR");
    if (!dir || !*dir) {
        return;
    }
    std::wstring path = dir;
    if (path[0] == L'/') {
        path = L"Z:" + path; // a Unix path, under Wine
    }
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr); // each folder on the way
    }
    CreateDirectoryW(path.c_str(), nullptr);
    testing::UnitTest::GetInstance()->listeners().Append(new Shots(path));
}

} // namespace testing_support
