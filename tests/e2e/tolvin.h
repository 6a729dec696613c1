// Starts the real tolvin.exe and finds its windows from outside the process.
#pragma once
#include <windows.h>

#include <string>

extern std::wstring g_tolvinPath;

class Tolvin {
public:
    explicit Tolvin(const std::wstring& arguments = L"");
    ~Tolvin();
    Tolvin(const Tolvin&) = delete;
    Tolvin& operator=(const Tolvin&) = delete;

    bool Started() const { return started_; }
    DWORD ProcessId() const { return pi_.dwProcessId; }
    // Marker window `n`, waiting up to `ms` for it to appear.
    HWND Marker(int n, int ms = 15000) const;
    HWND Panel() const;
    HWND Grip(int n) const;
    bool WaitForExit(int ms, DWORD* code = nullptr) const;

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

// Ends any tolvin.exe left over by an earlier test.
void KillStrayTolvins();
