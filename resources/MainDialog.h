#pragma once

#include "resources/ControlTable.h"
#include "resources/Resource.h"

// The main player window (dialog 102): its control IDs and its table.
inline constexpr int IDC_OPEN = 1000;
inline constexpr int IDC_PLAY = 1001;
inline constexpr int IDC_SLIDER_POSITION = 1002;
inline constexpr int IDC_STOP = 1003;
inline constexpr int IDC_GROUP_CONTROLS = 1004;
inline constexpr int IDC_STATIC_TIME = 1006;
inline constexpr int IDC_VIDEO_PANEL = 1009;
inline constexpr int IDC_VIDEO_IN = 1010;
inline constexpr int IDC_SLIDER_VOLUME = 1014;
inline constexpr int IDC_COMPACT = 1015;
inline constexpr int IDC_CHECK_PLAYLIST = 1016;
inline constexpr int IDC_DELETE_FILE = 1017;
inline constexpr int IDC_NEXT = 1018;
inline constexpr int IDC_PREV = 1019;

// Only the controls' existence, class, text and ID matter: the window replaces its own size and
// every control's geometry when it lays itself out.
const res::DialogTemplate& MainDialogTemplate();
