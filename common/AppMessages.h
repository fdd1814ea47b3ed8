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
