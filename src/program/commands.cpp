#include "program/commands.h"

#include "panel/frmControl.h"

namespace commands {

namespace {

struct Entry {
    Command command;
    void (*run)(frmControl& panel);
};

// clang-format off
constexpr Entry kTable[] = {
    {Command::AddMarker,   [](frmControl& p) { p.AddMarker(); }},
    {Command::PenXor,      [](frmControl& p) { p.SelXorPen(); }},
    {Command::PenMerge,    [](frmControl& p) { p.SelMergePen(); }},
    {Command::PenCopy,     [](frmControl& p) { p.SelCopyPen(); }},
    {Command::HideButton,  [](frmControl& p) { p.CheckHideBtn(); }},
    {Command::ShowTop,     [](frmControl& p) { p.DispMarkerMostTop(); }},
    {Command::JustWidth,   [](frmControl& p) { p.CheckJustWidth(); }},
    {Command::MouseTouka,  [](frmControl& p) { p.CheckMouseTouka(); }},
    {Command::DimRest,     [](frmControl& p) { p.CheckDimRest(); }},
    {Command::CloseMarker, [](frmControl& p) { p.DelMarker(); }},
    {Command::CloseAll,    [](frmControl& p) { p.DelAllMarker(); }},
    {Command::StepDown,    [](frmControl& p) { p.StepCurrentMarker(1); }},
    {Command::StepUp,      [](frmControl& p) { p.StepCurrentMarker(-1); }},
    {Command::LineDown,    [](frmControl& p) { p.MoveCurrentMarkerLines(1); }},
    {Command::LineUp,      [](frmControl& p) { p.MoveCurrentMarkerLines(-1); }},
    {Command::HideShow,    [](frmControl& p) { p.ToggleHidden(); }},
    {Command::FollowPointer, [](frmControl& p) { p.CheckFollowPointer(); }},
    {Command::ShowInShares, [](frmControl& p) { p.CheckShowInShares(); }},
    {Command::FitColumn,   [](frmControl& p) { p.CheckFitColumn(); }},
};
// clang-format on

} // namespace

void Run(Command command) {
    // Held for the command's duration: closing the last marker ends the panel meanwhile.
    std::shared_ptr<frmControl> panel = frmControl::Instance();
    for (const Entry& e : kTable) {
        if (e.command == command) {
            e.run(*panel);
            return;
        }
    }
}

} // namespace commands
