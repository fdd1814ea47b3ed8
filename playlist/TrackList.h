#pragma once

#include "playlist/TrackEntry.h"

#include <QString>

#include <cstdint>

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
