#pragma once

// Numbers shared by the resources: dialogs, strings, the icon, standard command IDs.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_STATIC = -1;

inline constexpr int IDM_ABOUTBOX = 0x0010; // window-menu command of the About entry
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_TAVVIDEO_DIALOG = 102;
inline constexpr int IDD_SOURCE_CHOOSER = 103;
inline constexpr int IDR_MAINFRAME = 140; // the application icon
inline constexpr int IDD_PLAYLIST = 129;
