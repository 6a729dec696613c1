#include <gtest/gtest.h>

#include <string>

// The built program, whose resources the resource tests read (the first argument).
std::wstring g_programPath;

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1) {
        g_programPath = argv[1];
        if (!g_programPath.empty() && g_programPath[0] == L'/') { // a Unix path, under Wine
            for (auto& c : g_programPath) {
                c = c == L'/' ? L'\\' : c;
            }
            g_programPath = L"Z:" + g_programPath;
        }
    }
    return RUN_ALL_TESTS();
}
