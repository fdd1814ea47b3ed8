#pragma once

#include "resources/ControlTable.h"
#include "resources/Resource.h"

// The About box (dialog 100): its control IDs and its table. The icon and the two text lines
// are static controls without IDs of their own; they get distinct numbers here so they can be
// found.
inline constexpr int IDC_ABOUT_ICON = 1100;
inline constexpr int IDC_ABOUT_VERSION = 1101;
inline constexpr int IDC_ABOUT_LINE2 = 1102;

const res::DialogTemplate& AboutDialogTemplate();
