#include "controls/CTavButtonCtrlRoles.h"

#include "common/AppMessages.h"

namespace {

using R = TavButtonRole;
using P = TavButtonSkinRow::Power;

// In precedence order (TavButtonSkinTable).
constexpr TavButtonSkinRow kSkinTable[] = {
    {R::AddFile, P::Any, "addFile.png", "addFileSelected.png", nullptr},
    {R::AddFolder, P::Any, "addFolder.png", "addFolderSelected.png", nullptr},
    // Capture and Compact show their selected image only while enabled; a disabled one shows its
    // normal image, also while held down.
    {R::Capture, P::Any, "capture.png", "captureSelected.png", "capture.png"},
    {R::Compact, P::Any, "compact.png", "compactSelected.png", "compact.png"},
    {R::DeckSwap, P::Any, "deckSwap.png", "deckSwapSelected.png", nullptr},
    {R::Delete, P::Any, "delete.png", "deleteSelected.png", nullptr},
    {R::DeleteAll, P::Any, "deleteAll.png", "deleteAllSelected.png", nullptr},
    {R::Eq, P::Any, "eq.png", "eqSelected.png", nullptr},
    {R::FastForward, P::Any, "fastForward.png", "fastForwardSelected.png",
     "fastForwardDisabled.png"},
    {R::List, P::Any, "list.png", "listSelected.png", nullptr},
    {R::MoveDown, P::Any, "moveDown.png", "moveDownSelected.png", nullptr},
    {R::MoveUp, P::Any, "moveUp.png", "moveUpSelected.png", nullptr},
    {R::NextTrack, P::Any, "nextTrack.png", "nextTrackSelected.png", nullptr},
    {R::Open, P::Any, "open.png", "openSelected.png", "open.png"},
    {R::Play, P::Any, "play.png", "playSelected.png", "playDisabled.png"},
    {R::PlayPause, P::Any, "playPause.png", "playPauseSelected.png", "playPauseDisabled.png"},
    {R::Power, P::On, "powerOn.png", "powerOnSelected.png", nullptr},
    {R::Power, P::Off, "powerOff.png", "powerOffSelected.png", nullptr},
    {R::PreviousTrack, P::Any, "previousTrack.png", "previousTrackSelected.png", nullptr},
    {R::Remove, P::Any, "remove.png", "removeSelected.png", nullptr},
    {R::Rewind, P::Any, "rewind.png", "rewindSelected.png", "rewindDisabled.png"},
    {R::Reverse, P::Any, "reverse.png", "reverseSelected.png", "reverseDisabled.png"},
    {R::Save, P::Any, "save.png", "saveSelected.png", nullptr},
    {R::Speaker, P::Any, "speaker.png", "speakerSelected.png", nullptr},
    {R::Stop, P::Any, "stop.png", "stopSelected.png", "stop.png"},
    {R::Uncompact, P::Any, "uncompact.png", "uncompactSelected.png", "uncompact.png"},
};

struct RoleMessage
{
    TavButtonRole role;
    std::uint32_t message;
};

// Each list is consulted in its own order; the first role that is set posts, and only it.
constexpr RoleMessage kDownMessages[] = {
    {R::Delete, WM_DELETE_PRESSED},      {R::FastForward, WM_FAST_FORWARD_BEGIN},
    {R::MoveDown, WM_MOVE_DOWN_PRESSED}, {R::MoveUp, WM_MOVE_UP_PRESSED},
    {R::NextTrack, WM_PLAY_NEXT},        {R::PreviousTrack, WM_PLAY_PREVIOUS},
    {R::Reverse, WM_REVERSE_BEGIN},      {R::Rewind, WM_REWIND_BEGIN},
};
constexpr RoleMessage kUpMessages[] = {
    {R::Reverse, WM_REVERSE_END},
    {R::Rewind, WM_REWIND_END},
    {R::FastForward, WM_FAST_FORWARD_END},
};
constexpr RoleMessage kDoubleClickMessages[] = {
    {R::Delete, WM_DELETE_PRESSED},
    {R::MoveDown, WM_MOVE_DOWN_PRESSED},
    {R::MoveUp, WM_MOVE_UP_PRESSED},
};

bool IsSet(const TavButtonRoleFlags& roles, TavButtonRole role)
{
    return roles[static_cast<std::size_t>(role)];
}

template <std::size_t N>
std::uint32_t FirstMessage(const TavButtonRoleFlags& roles, const RoleMessage (&table)[N])
{
    for (const RoleMessage& entry : table) {
        if (IsSet(roles, entry.role)) {
            return entry.message;
        }
    }
    return 0;
}

} // namespace

std::span<const TavButtonSkinRow> TavButtonSkinTable()
{
    return kSkinTable;
}

const TavButtonSkinRow* FindTavButtonSkinRow(const TavButtonRoleFlags& roles, bool powerOn)
{
    const P power = powerOn ? P::On : P::Off;
    for (const TavButtonSkinRow& row : kSkinTable) {
        if (IsSet(roles, row.role) && (row.power == P::Any || row.power == power)) {
            return &row;
        }
    }
    return nullptr;
}

QString TavButtonImageName(const TavButtonRoleFlags& roles, bool powerOn, bool selected,
                           bool enabled)
{
    const TavButtonSkinRow* row = FindTavButtonSkinRow(roles, powerOn);
    if (row == nullptr) {
        return {};
    }
    const char* name = row->normal;
    if (row->disabled != nullptr && !enabled) {
        name = row->disabled;
    } else if (selected) {
        name = row->selected;
    }
    return QString::fromLatin1(name);
}

std::uint32_t TavButtonDownMessage(const TavButtonRoleFlags& roles)
{
    return FirstMessage(roles, kDownMessages);
}

std::uint32_t TavButtonUpMessage(const TavButtonRoleFlags& roles)
{
    return FirstMessage(roles, kUpMessages);
}

std::uint32_t TavButtonDoubleClickMessage(const TavButtonRoleFlags& roles)
{
    return FirstMessage(roles, kDoubleClickMessages);
}
