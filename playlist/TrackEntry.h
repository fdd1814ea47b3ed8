#pragma once

#include <QString>

#include <cstdint>

class TrackList;

// One playlist entry. Every entry this program creates is a file on deck A; the CD-track and
// deck-B values are still honoured by the display name, the row picture and the stepping.
struct TrackEntry
{
    TrackEntry(const QString& path, const QString& title, double length)
        : strTitle(title), dLength(length), strPath(path)
    {}

    std::int32_t nTrack = -1; // CD track number; -1 for a file
    std::int32_t nDeck = 0;   // 0 deck A, 1 deck B
    QString strTitle;
    bool bCurrent = false;  // the entry loaded for playing on its deck
    bool bMarked = false;   // the marked entry of the list (at most one)
    bool bNoLength = false; // the length loader failed on the file
    double dLength = -1.0;  // seconds; -1.0 is "not known"
    // Full path of the media file. Fixed for the entry's life: the list finds entries by it.
    const QString strPath;
    std::int32_t nKind = 2; // 2 file, 0 CD track

private:
    friend class TrackList;
    std::int32_t m_nIndex = -1; // the entry's position, kept by the list that owns it
};
