#pragma once

#include "resources/ControlTable.h"
#include "resources/Resource.h"

// The playlist window (dialog 129): its control IDs and its table.
inline constexpr int IDC_PLAYLIST = 1006;
inline constexpr int IDC_MOVEUP = 1007;
inline constexpr int IDC_ADDFILE = 1008;
inline constexpr int IDC_ADDFOLDER = 1009;
inline constexpr int IDC_DELETE = 1010;
inline constexpr int IDC_MOVEDOWN = 1011;
inline constexpr int IDC_SCANPROGRESS = 1012;
inline constexpr int IDC_FINDTEXT = 1013;
inline constexpr int IDC_SAVE = 1015;
inline constexpr int IDC_SHOWGROUP = 1072;
inline constexpr int IDC_DELETEALL = 1073;
inline constexpr int IDC_SHOWFILENAME = 1074;
inline constexpr int IDC_SHOWPATH = 1075;
inline constexpr int IDC_SHOWTAG = 1076;
inline constexpr int IDC_FINDGROUP = 1077;
inline constexpr int IDC_FINDNEXT = 1078;

// The rows are in template order, which is also the stacking and tab order.
const res::DialogTemplate& PlayListDialogTemplate();
