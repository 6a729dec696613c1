// Logic that needs no window: rounding, the command-line letters, the palette, the
// pointer test.
#include "marker/markShape.h"
#include "marker/palette.h"
#include "startup/basTolvin.h"
#include "toolkit/capture.h"
#include "toolkit/form.h"
#include "toolkit/units.h"

#include <gtest/gtest.h>

#include <random>

TEST(Rounding, TwipValuesRoundToNearestWithHalvesToEven) {
    EXPECT_EQ(tk::CInt(0.5), 0);
    EXPECT_EQ(tk::CInt(1.5), 2);
    EXPECT_EQ(tk::CInt(2.5), 2);
    EXPECT_EQ(tk::CInt(-0.5), 0);
    EXPECT_EQ(tk::CInt(-1.5), -2);
    EXPECT_EQ(tk::CInt(7.4999), 7);
    EXPECT_EQ(tk::CInt(-7.6), -8);
}

TEST(CommandLine, ArgumentTextIsWhatFollowsTheProgramName) {
    EXPECT_EQ(ArgumentText(L"tolvin.exe"), L"");
    EXPECT_EQ(ArgumentText(L"tolvin.exe T B"), L"T B");
    EXPECT_EQ(ArgumentText(L"\"C:\\Program Files\\Tolvin\\tolvin.exe\" /b"), L"/b");
    EXPECT_EQ(ArgumentText(L"\"C:\\Tab Tools\\tolvin.exe\""), L"");
    EXPECT_EQ(ArgumentText(L""), L"");
}

TEST(CommandLine, AnUnquotedProgramPathWithSpacesIsNotReadAsArguments) {
    const std::wstring path = L"C:\\Program Files\\Tolvin\\tolvin.exe";
    // "Files\Tolvin\tolvin.exe" holds a t: read as arguments it would set an option.
    EXPECT_EQ(ArgumentText(path, path), L"");
    EXPECT_EQ(ArgumentText(path + L" b", path), L"b");
    EXPECT_EQ(ArgumentText(L"c:\\program files\\TOLVIN\\Tolvin.EXE  x", path), L"x");
    EXPECT_EQ(ArgumentText(L"C:\\Program Files\\Tolvin\\tolvin T", path), L"T"); // started without ".exe"
    EXPECT_EQ(ArgumentText(L"\"" + path + L"\" b", path), L"b");
    // A line that does not start with this program's path: its name ends at the first blank.
    EXPECT_EQ(ArgumentText(L"tolvin b", path), L"b");
    EXPECT_EQ(ArgumentText(L"C:\\Other Dir\\tolvin.exe b", path), L"Dir\\tolvin.exe b");
}

TEST(CommandLine, LettersCountAnywhereInEitherCase) {
    struct Case {
        const wchar_t* text;
        bool t, b;
    } cases[] = {
        {L"", false, false},
        {L"T", true, false},
        {L"t", true, false},
        {L"b", false, true},
        {L"TB", true, true},
        {L"bt", true, true},
        {L"/T /B", true, true},
        {L"notebook.txt", true, true},
        {L"Bold", false, true},
        {L"xyz 123", false, false},
        {L"-a -c", false, false},
        // Full-width letters are not the option letters.
        {L"\xFF34\xFF22", false, false},
        {L"日本語テキスト", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HasOptionLetter(c.text, L'T'), c.t)
            << "text: " << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(HasOptionLetter(c.text, L'B'), c.b)
            << "text: " << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(CommandLine, RandomTextGivesTheFlagsOfItsPlainLetters) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 500; ++round) {
        std::wstring text(rng() % 2000, L' ');
        for (wchar_t& c : text) {
            c = static_cast<wchar_t>(rng() % 0x10000); // invalid surrogates included
        }
        bool t = false, b = false;
        for (wchar_t c : text) {
            t = t || c == L'T' || c == L't';
            b = b || c == L'B' || c == L'b';
        }
        EXPECT_EQ(HasOptionLetter(text, L'T'), t);
        EXPECT_EQ(HasOptionLetter(text, L'B'), b);
    }
    const std::wstring huge(32 * 1024, L'x');
    EXPECT_FALSE(HasOptionLetter(huge, L'T'));
    EXPECT_TRUE(HasOptionLetter(huge + L"t", L'T'));
}

TEST(Palette, CyclesHaveSevenSixAndEightColours) {
    EXPECT_EQ(palette::Size(palette::kXorPen), 7);
    EXPECT_EQ(palette::Size(palette::kMergePen), 6);
    EXPECT_EQ(palette::Size(palette::kCopyPen), 8);
    EXPECT_EQ(palette::Size(0), 8);
    const COLORREF order[] = {RGB(255, 255, 0), RGB(255, 0, 0),   RGB(255, 0, 255), RGB(0, 0, 255),
                              RGB(0, 255, 0),   RGB(0, 255, 255), RGB(0, 0, 0),     RGB(255, 255, 255)};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(palette::Colour(i), order[i]) << i;
    }
}

TEST(Palette, XorFillIsTheComplementSoWhitePaperShowsTheColour) {
    EXPECT_EQ(palette::Fill(palette::kXorPen, RGB(255, 255, 0)), RGB(0, 0, 255));
    EXPECT_EQ(palette::Fill(palette::kXorPen, RGB(0, 255, 255)), RGB(255, 0, 0));
    for (int i = 0; i < 7; ++i) {
        const COLORREF fill = palette::Fill(palette::kXorPen, palette::Colour(i));
        EXPECT_EQ(fill ^ 0xFFFFFF, palette::Colour(i)); // white XOR fill
    }
    EXPECT_EQ(palette::Fill(palette::kMergePen, RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_EQ(palette::Fill(palette::kCopyPen, RGB(255, 255, 255)), RGB(255, 255, 255));
}

TEST(PointerTest, EdgesAndTheRowAndColumnJustOutsideCountAsInside) {
    // A marker at (150, 300) twips, 1500 x 315.
    EXPECT_FALSE(PointerOutside(150, 300, 150, 300, 1500, 315));
    EXPECT_FALSE(PointerOutside(1650, 615, 150, 300, 1500, 315));
    EXPECT_TRUE(PointerOutside(149, 400, 150, 300, 1500, 315));
    EXPECT_TRUE(PointerOutside(1651, 400, 150, 300, 1500, 315));
    EXPECT_TRUE(PointerOutside(400, 299, 150, 300, 1500, 315));
    EXPECT_TRUE(PointerOutside(400, 616, 150, 300, 1500, 315));
}

TEST(CaptureMode, EachCombinationOfWhatTheSystemReportsGivesItsWay) {
    using tk::CaptureMode;
    struct Case {
        bool composition;
        bool affinity;
        DWORD build;
        CaptureMode expected;
    };
    const Case cases[] = {
        {false, false, 0, CaptureMode::Outline},                   // Wine: no compositor, no call
        {false, true, 22631, CaptureMode::Outline},                // composition off: the outline works
        {false, true, 7601, CaptureMode::Outline},                 // Windows 7 basic theme
        {true, false, 22631, CaptureMode::OutlineAfterCompositor}, // the call is missing
        {true, true, 7601, CaptureMode::OutlineAfterCompositor},   // Windows 7 Aero
        {true, true, 9600, CaptureMode::OutlineAfterCompositor},   // Windows 8.1
        {true, true, 18363, CaptureMode::OutlineAfterCompositor},  // Windows 10 1909
        {true, true, 19041, CaptureMode::Excluded},                // Windows 10 2004
        {true, true, 22631, CaptureMode::Excluded},                // Windows 11
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tk::ChooseCaptureMode({c.composition, c.affinity, c.build}), c.expected)
            << c.composition << c.affinity << " " << c.build;
    }
}

TEST(CaptureMode, RemoteSessionsAndTheSharingItemPutMarkersInCopiesAsOutlines) {
    using tk::CaptureMode;
    tk::SystemReport windows11{true, true, 22631};
    ASSERT_EQ(tk::ChooseCaptureMode(windows11), CaptureMode::Excluded);
    tk::SystemReport remote = windows11;
    remote.remoteSession = true; // the viewer copies the screen: markers must be in the copies
    EXPECT_EQ(tk::ChooseCaptureMode(remote), CaptureMode::OutlineAfterCompositor);
    tk::SystemReport shared = windows11;
    shared.shownInShares = true;
    EXPECT_EQ(tk::ChooseCaptureMode(shared), CaptureMode::OutlineAfterCompositor);
    shared.compositionOn = false; // without a compositor the outline needs no wait
    EXPECT_EQ(tk::ChooseCaptureMode(shared), CaptureMode::Outline);
    // Where there is a compositor every copy after a change waits for its next frame, and windows
    // that keep their content out of copies matter; without one neither.
    for (auto mode : {CaptureMode::OutlineAfterCompositor, CaptureMode::Excluded}) {
        EXPECT_TRUE(tk::WaitsForCompositor(mode));
        EXPECT_TRUE(tk::ProtectedWindowsMatter(mode));
    }
    EXPECT_FALSE(tk::WaitsForCompositor(CaptureMode::Outline));
    EXPECT_FALSE(tk::ProtectedWindowsMatter(CaptureMode::Outline));
}

TEST(DragInput, OnlyWineHasTheDragReadThePointerAndButtonsBesideTheCapture) {
    tk::SystemReport wine;
    wine.underWine = true;
    EXPECT_EQ(tk::ChooseDragInput(wine), tk::DragInput::CaptureAndReading);
    // Windows of every kind: reading the buttons under an administrator's window would read them
    // as let go and end the drag.
    for (const tk::SystemReport& windows :
         {tk::SystemReport{true, true, 22631}, tk::SystemReport{false, true, 7601}, tk::SystemReport{}}) {
        EXPECT_EQ(tk::ChooseDragInput(windows), tk::DragInput::CaptureOnly);
    }
}

TEST(Wheel, PartsOfANotchAddUpPerDirectionAndWholeNotchesStepOnce) {
    WheelNotches w;
    EXPECT_EQ(w.Add(-120), -1);
    EXPECT_EQ(w.Add(-360), -1); // three notches at once: one step
    EXPECT_EQ(w.Add(120), 1);
    EXPECT_EQ(w.Add(40), 0);
    EXPECT_EQ(w.Add(40), 0);
    EXPECT_EQ(w.Add(40), 1); // the third part completes the notch
    EXPECT_EQ(w.Add(-30), 0);
    EXPECT_EQ(w.Add(-30), 0);
    EXPECT_EQ(w.Add(-30), 0);
    EXPECT_EQ(w.Add(-30), -1);
    EXPECT_EQ(w.Add(100), 0); // a turn back forgets the other direction's parts
    EXPECT_EQ(w.Add(-100), 0);
    EXPECT_EQ(w.Add(-100), -1); // 200: one step, 80 left over
    EXPECT_EQ(w.Add(-40), -1);
    EXPECT_EQ(w.Add(-119), 0);
    EXPECT_EQ(w.Add(-240), -1); // a whole notch steps at once and forgets the parts
    EXPECT_EQ(w.Add(-119), 0);
    EXPECT_EQ(w.Add(0), 1); // zero counts as away from the user
}
