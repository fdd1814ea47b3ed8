#include "playlist/TrackList.h"

#include "common/PathParts.h"

#include <algorithm>
#include <limits>

namespace {

std::unique_ptr<TrackEntry> NewFileEntry(const QString& path, const QString& title, double length)
{
    auto entry = std::make_unique<TrackEntry>();
    entry->strTitle = title;
    entry->dLength = length;
    entry->strPath = path;
    return entry;
}

const TrackEntry* Entry(const TrackList& tracks, std::int32_t index)
{
    return IsValidTrackIndex(tracks, index) ? tracks[static_cast<std::size_t>(index)].get()
                                            : nullptr;
}

} // namespace

bool IsValidTrackIndex(const TrackList& tracks, std::int32_t index)
{
    return index >= 0 && static_cast<std::size_t>(index) < tracks.size();
}

void AddTrack(TrackList& tracks, const QString& path, const QString& title, double length)
{
    tracks.push_back(NewFileEntry(path, title, length));
}

void InsertTrack(TrackList& tracks, const QString& path, const QString& title, double length,
                 std::int32_t index)
{
    if (!IsValidTrackIndex(tracks, index)) {
        AddTrack(tracks, path, title, length);
        return;
    }
    tracks.insert(tracks.begin() + index, NewFileEntry(path, title, length));
}

void InsertTrackSorted(TrackList& tracks, const QString& path, const QString& title, double length,
                       std::int32_t start)
{
    // A linear walk on purpose: the entries from start on need not be sorted, and the place must
    // be the first greater path, not any place a binary search would find.
    for (std::size_t i = static_cast<std::size_t>(std::max(start, 0)); i < tracks.size(); ++i) {
        if (QString::compare(path, tracks[i]->strPath, Qt::CaseSensitive) < 0) {
            tracks.insert(tracks.begin() + static_cast<std::ptrdiff_t>(i),
                          NewFileEntry(path, title, length));
            return;
        }
    }
    AddTrack(tracks, path, title, length);
}

void RemoveAllTracks(TrackList& tracks)
{
    tracks.clear();
}

void RemoveTrack(TrackList& tracks, std::int32_t index)
{
    if (IsValidTrackIndex(tracks, index)) {
        tracks.erase(tracks.begin() + index);
    }
}

void MoveTrack(TrackList& tracks, std::int32_t from, std::int32_t to)
{
    if (!IsValidTrackIndex(tracks, from) || !IsValidTrackIndex(tracks, to) || from == to) {
        return;
    }
    const auto first = tracks.begin();
    if (from < to) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else {
        std::rotate(first + to, first + from, first + from + 1);
    }
}

QString GetTrackPath(const TrackList& tracks, std::int32_t index)
{
    const TrackEntry* entry = Entry(tracks, index);
    return entry != nullptr ? entry->strPath : QString();
}

QString GetTrackTitle(const TrackList& tracks, std::int32_t index)
{
    const TrackEntry* entry = Entry(tracks, index);
    return entry != nullptr ? entry->strTitle : QString();
}

void SetTrackTitle(TrackList& tracks, std::int32_t index, const QString& title)
{
    if (IsValidTrackIndex(tracks, index)) {
        tracks[static_cast<std::size_t>(index)]->strTitle = title;
    }
}

bool IsTrackCurrent(const TrackList& tracks, std::int32_t index)
{
    const TrackEntry* entry = Entry(tracks, index);
    return entry != nullptr && entry->bCurrent;
}

bool IsTrackMarked(const TrackList& tracks, std::int32_t index)
{
    const TrackEntry* entry = Entry(tracks, index);
    return entry != nullptr && entry->bMarked;
}

QString GetTrackName(const TrackList& tracks, std::int32_t index)
{
    const TrackEntry* entry = Entry(tracks, index);
    if (entry == nullptr) {
        return {};
    }
    if (entry->nKind != 0) {
        return PathParts::Split(entry->strPath).fname;
    }
    QString deck;
    if (entry->nDeck == 0) {
        deck = QStringLiteral("A");
    } else if (entry->nDeck == 1) {
        deck = QStringLiteral("B");
    }
    return QStringLiteral("Deck ") + deck + QStringLiteral(" CD Track ") +
           QString::number(entry->nTrack);
}

QString GetLengthText(const TrackList& tracks, std::int32_t index)
{
    const TrackEntry* entry = Entry(tracks, index);
    // -1.0 is the "not known" value. Any other negative length (a playlist file may say -2) or a
    // NaN is not a length either: it gets the empty text too, rather than "0:0-2", and the
    // length loader is asked for the real one.
    if (entry == nullptr || !(entry->dLength >= 0.0)) {
        return {};
    }
    // Truncation toward zero; lengths beyond the integer range are clamped, not undefined.
    constexpr double kMax = static_cast<double>(std::numeric_limits<std::int64_t>::max() / 2);
    const auto seconds = static_cast<std::int64_t>(std::min(entry->dLength, kMax));
    const std::int64_t minutes = seconds / 60;
    const std::int64_t rest = seconds - 60 * minutes;
    return QString::number(minutes) + (rest < 10 ? QStringLiteral(":0") : QStringLiteral(":")) +
           QString::number(rest);
}
