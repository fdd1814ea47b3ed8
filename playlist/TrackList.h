#pragma once

#include "playlist/TrackEntry.h"

#include <QHashFunctions>
#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

// The entries in playlist order; position i is row i of the playlist view. A vector keeps index
// access constant-time: every row operation of the window addresses entries by index, and a
// linked list would make loops over the rows quadratic.
//
// The list also knows where each path stands, so that a length report finds its entries
// (duplicates included) without comparing every path: finding costs the same at 100,000 entries
// as at 1,000. The entries can be changed through the list, but only the list's own operations
// add, remove or move them, and each of them keeps that index right.
class TrackList
{
public:
    using Entries = std::vector<std::unique_ptr<TrackEntry>>;

    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const std::unique_ptr<TrackEntry>& operator[](std::size_t index) const
    {
        return m_entries[index];
    }
    Entries::const_iterator begin() const { return m_entries.begin(); }
    Entries::const_iterator end() const { return m_entries.end(); }

    // Positions of the entries whose path is exactly this one (case-sensitive), ascending.
    std::vector<std::int32_t> IndicesOf(const QString& path) const;

    // A new entry before position index; an index at or beyond the end appends.
    void Insert(std::size_t index, std::unique_ptr<TrackEntry> entry);
    // Removes and frees one entry; an index beyond the end changes nothing.
    void Remove(std::size_t index);
    // The same entry, flags and all, moves from one valid position to another.
    void Move(std::size_t from, std::size_t to);
    void Clear();

    // The lowest position where an entry was added, removed or moved since the last call (the
    // size of the list when nothing was), so a reader that walks the list from a mark of its own
    // knows from where on the list changed under it.
    std::size_t TakeFirstChange();

private:
    void Renumber(std::size_t first, std::size_t last);

    struct PathHash
    {
        std::size_t operator()(const QString& path) const noexcept { return qHash(path); }
    };

    Entries m_entries;
    std::unordered_map<QString, std::vector<TrackEntry*>, PathHash> m_byPath;
    std::size_t m_nFirstChange = 0;
};

// Operations on the track list. Index-taking ones check the index first and give the empty
// text, false or no change when it is out of range. UI thread only.

bool IsValidTrackIndex(const TrackList& tracks, std::int32_t index);

// Appends a new file entry.
void AddTrack(TrackList& tracks, const QString& path, const QString& title, double length);
// Inserts a new file entry before the entry at index; -1 (or any index outside the list) appends.
void InsertTrack(TrackList& tracks, const QString& path, const QString& title, double length,
                 std::int32_t index);
// Inserts a new file entry before the first entry from start on whose path is greater, comparing
// UTF-16 code units ordinally (upper case before lower case); entries before start are never
// compared, so a batch inserted from the list's old end stays after the earlier entries.
void InsertTrackSorted(TrackList& tracks, const QString& path, const QString& title, double length,
                       std::int32_t start);
void RemoveAllTracks(TrackList& tracks);
// Removes and frees one entry.
void RemoveTrack(TrackList& tracks, std::int32_t index);
// Moves the entry at from so that it stands at to; the entry itself (and its flags) is kept.
void MoveTrack(TrackList& tracks, std::int32_t from, std::int32_t to);

QString GetTrackPath(const TrackList& tracks, std::int32_t index);
QString GetTrackTitle(const TrackList& tracks, std::int32_t index);
void SetTrackTitle(TrackList& tracks, std::int32_t index, const QString& title);
bool IsTrackCurrent(const TrackList& tracks, std::int32_t index);
bool IsTrackMarked(const TrackList& tracks, std::int32_t index);

// The file name without folder and extension; "Deck A CD Track 3" for a CD track.
QString GetTrackName(const TrackList& tracks, std::int32_t index);
// minutes:seconds ("0:05", "123:04"), or the empty text while the length is not known.
QString GetLengthText(const TrackList& tracks, std::int32_t index);
