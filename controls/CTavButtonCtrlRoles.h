#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// What a skinned button stands for. The order is the order of the button's role flags; the order
// in which the flags are consulted is the skin table's (see TavButtonSkinTable), not this one.
enum class TavButtonRole : std::uint8_t
{
    Reverse,
    Remove,
    Rewind,
    FastForward,
    NextTrack,
    PlayPause,
    PreviousTrack,
    AddFile,
    AddFolder,
    Capture,
    Compact,
    Delete,
    Eq,
    List,
    Save,
    DeckSwap,
    MoveUp,
    MoveDown,
    DeleteAll,
    Open,
    Play,
    Power,
    Speaker,
    Stop,
    Uncompact,
};
inline constexpr std::size_t kTavButtonRoleCount =
    static_cast<std::size_t>(TavButtonRole::Uncompact) + 1;

// One flag per role; normally exactly one is set.
using TavButtonRoleFlags = std::array<bool, kTavButtonRoleCount>;

// One row of the skin table: the images a role shows. The power role has two rows, one per
// power state; every other row applies whatever the power state.
struct TavButtonSkinRow
{
    TavButtonRole role;
    enum class Power : std::uint8_t
    {
        Any,
        On,
        Off
    } power;
    const char* normal;
    const char* selected;
    // Shown while the button's enabled flag is false, selected or not; null for the roles whose
    // picture does not depend on the enabled flag.
    const char* disabled;
};

// The skin table in its precedence order: when several role flags are set, the first row whose
// role is set decides.
std::span<const TavButtonSkinRow> TavButtonSkinTable();

// The row that decides for these flags, or null when no role flag is set.
const TavButtonSkinRow* FindTavButtonSkinRow(const TavButtonRoleFlags& roles, bool powerOn);

// The image file name the button shows, or an empty text when no role flag is set. A disabled
// image takes precedence over the selected one.
QString TavButtonImageName(const TavButtonRoleFlags& roles, bool powerOn, bool selected,
                           bool enabled);

// The application message a button with these roles posts to the main window when the left mouse
// button goes down, goes up, or is double-clicked; 0 when it posts nothing.
std::uint32_t TavButtonDownMessage(const TavButtonRoleFlags& roles);
std::uint32_t TavButtonUpMessage(const TavButtonRoleFlags& roles);
std::uint32_t TavButtonDoubleClickMessage(const TavButtonRoleFlags& roles);
