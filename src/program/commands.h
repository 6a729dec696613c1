// Every command a user can give, in one table: the menus, the wheel, the spinner and the global
// keys all run them through here, so each is written once.
#pragma once

namespace commands {

enum class Command {
    AddMarker,
    PenXor,
    PenMerge,
    PenCopy,
    HideButton,
    ShowTop,
    JustWidth,
    MouseTouka,
    DimRest,
    CloseMarker,
    CloseAll,
    StepDown, // one step of the spinner or one wheel notch
    StepUp,
    LineDown, // the marker's own height
    LineUp,
    HideShow,
    FollowPointer, // the current marker follows the pointer line by line, or stops
    ShowInShares,  // markers in screen shares and recordings, or left out of them
    FitColumn,     // the current marker's band as wide as its column of text, or not
};

// Runs a command on the control panel's registry.
void Run(Command command);

} // namespace commands
