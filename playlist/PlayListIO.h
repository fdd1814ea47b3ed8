#pragma once

#include <QString>

class CPlayList;

// Reads the list file at path and appends its entries to the window, in file order, then tells
// the main window the playlist changed. M3U and PLS are read by extension in any letter case;
// the other list extensions add nothing. A file that cannot be read as a list (missing, not a
// regular file, too large, a PLS without its header) adds nothing and tells nobody.
void LoadPlayListFile(CPlayList& window, const QString& path);

// Save: asks for a name, shows it as the window's caption and writes every file entry of the
// list, in list order, as M3U or PLS by the name's extension (in any letter case; any other name
// writes nothing). Titles are refreshed from the files' tags first. A list that cannot be created
// gives "File Write Error"; a write that fails part-way leaves the old list untouched and shows the
// system's reason.
void SavePlayList(CPlayList& window);
