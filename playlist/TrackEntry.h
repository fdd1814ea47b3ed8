#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// One playlist entry. Every entry this program creates is a file on deck A; the CD-track and
// deck-B values are still honoured by the display name, the row picture and the stepping.
struct TrackEntry
{
    std::int32_t nTrack = -1; // CD track number; -1 for a file
    std::int32_t nDeck = 0;   // 0 deck A, 1 deck B
    QString strTitle;
    bool bCurrent = false;  // the entry loaded for playing on its deck
    bool bMarked = false;   // the marked entry of the list (at most one)
    bool bNoLength = false; // the length loader failed on the file
    double dLength = -1.0;  // seconds; -1.0 is "not known"
    QString strPath;        // full path of the media file
    std::int32_t nKind = 2; // 2 file, 0 CD track
};

// The entries in playlist order; position i is row i of the playlist view. A vector keeps index
// access constant-time: every row operation of the window addresses entries by index, and a
// linked list would make loops over the rows quadratic.
using TrackList = std::vector<std::unique_ptr<TrackEntry>>;
