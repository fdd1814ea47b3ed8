#pragma once

#include <QString>

// A path split into its folder and file-name parts. Paths here have no drive, so drive is always
// empty; drive + dir is the folder of a file, fname + ext its file name.
struct PathParts
{
    QString drive;
    QString dir;   // everything up to and including the last '/'
    QString fname; // the file name without its extension
    QString ext;   // from the last '.' of the file name on, the dot included; may be empty

    static PathParts Split(const QString& path);
};
