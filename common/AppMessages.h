#pragma once

#include <cstdint>

// The private notifications between the controls, the worker thread, the media layer and the two
// windows. Each is a number in the application range; the carrier is in AppMessage.h.
inline constexpr std::uint32_t WM_APP = 0x8000;

inline constexpr std::uint32_t WM_GRAPH_NOTIFY = WM_APP + 5;
inline constexpr std::uint32_t WM_PLAY_NEXT = WM_APP + 8;
inline constexpr std::uint32_t WM_PLAYLIST_CHANGED = WM_APP + 9;
inline constexpr std::uint32_t WM_FILES_DROPPED = WM_APP + 10;
inline constexpr std::uint32_t WM_PLAY_CURRENT = WM_APP + 11;
inline constexpr std::uint32_t WM_PLAY_PREVIOUS = WM_APP + 12;
inline constexpr std::uint32_t WM_TRACK_LENGTH_LOADED = WM_APP + 17;
inline constexpr std::uint32_t WM_SEEK_BEGIN = WM_APP + 18;
inline constexpr std::uint32_t WM_SEEK_END = WM_APP + 19;
inline constexpr std::uint32_t WM_PLAYLIST_CLOSED = WM_APP + 20;

// Sent by the find box when Enter is pressed in it; nobody handles it.
inline constexpr std::uint32_t WM_FIND_ENTER = WM_APP + 4;

// Posted by the skinned buttons for roles whose mouse-button press, release or double click
// means something on its own. No window handles these; they fall to default processing.
inline constexpr std::uint32_t WM_DELETE_PRESSED = WM_APP + 1;
inline constexpr std::uint32_t WM_FAST_FORWARD_BEGIN = WM_APP + 2;
inline constexpr std::uint32_t WM_FAST_FORWARD_END = WM_APP + 3;
inline constexpr std::uint32_t WM_MOVE_DOWN_PRESSED = WM_APP + 6;
inline constexpr std::uint32_t WM_MOVE_UP_PRESSED = WM_APP + 7;
inline constexpr std::uint32_t WM_REVERSE_BEGIN = WM_APP + 13;
inline constexpr std::uint32_t WM_REVERSE_END = WM_APP + 14;
inline constexpr std::uint32_t WM_REWIND_BEGIN = WM_APP + 15;
inline constexpr std::uint32_t WM_REWIND_END = WM_APP + 16;
