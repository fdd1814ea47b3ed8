#include "playlist/TrackList.h"

#include "common/PathParts.h"

#include <algorithm>
#include <limits>

namespace {

std::unique_ptr<TrackEntry> NewFileEntry(const QString& path, const QString& title, double length)
{
    return std::make_unique<TrackEntry>(path, title, length);
}

const TrackEntry* Entry(const TrackList& tracks, std::int32_t index)
{
    return IsValidTrackIndex(tracks, index) ? tracks[static_cast<std::size_t>(index)].get()
                                            : nullptr;
}

} // namespace

std::vector<std::int32_t> TrackList::IndicesOf(const QString& path) const
{
    std::vector<std::int32_t> indices;
    const auto found = m_byPath.find(path);
    if (found == m_byPath.end()) {
        return indices;
    }
    for (const TrackEntry* entry : found->second) {
        indices.push_back(entry->m_nIndex);
    }
    std::sort(indices.begin(), indices.end());
    return indices;
}

void TrackList::Insert(std::size_t index, std::unique_ptr<TrackEntry> entry)
{
    index = std::min(index, m_entries.size());
    m_byPath[entry->strPath].push_back(entry.get());
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(index), std::move(entry));
    Renumber(index, m_entries.size());
}

void TrackList::Remove(std::size_t index)
{
    if (index >= m_entries.size()) {
        return;
    }
    const TrackEntry* entry = m_entries[index].get();
    const auto found = m_byPath.find(entry->strPath);
    std::vector<TrackEntry*>& sameKey = found->second;
    sameKey.erase(std::find(sameKey.begin(), sameKey.end(), entry));
    if (sameKey.empty()) {
        m_byPath.erase(found);
    }
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    Renumber(index, m_entries.size());
}

void TrackList::Move(std::size_t from, std::size_t to)
{
    if (from >= m_entries.size() || to >= m_entries.size() || from == to) {
        return;
    }
    const auto first = m_entries.begin();
    const auto f = static_cast<std::ptrdiff_t>(from);
    const auto t = static_cast<std::ptrdiff_t>(to);
    if (from < to) {
        std::rotate(first + f, first + f + 1, first + t + 1);
    } else {
        std::rotate(first + t, first + f, first + f + 1);
    }
    Renumber(std::min(from, to), std::max(from, to) + 1);
}

void TrackList::Clear()
{
    m_byPath.clear();
    m_entries.clear();
    m_nFirstChange = 0;
}

std::size_t TrackList::TakeFirstChange()
{
    const std::size_t first = std::min(m_nFirstChange, m_entries.size());
    m_nFirstChange = m_entries.size();
    return first;
}

// Only the entries whose position changed are touched: appending costs one entry, a move the
// range it crosses.
void TrackList::Renumber(std::size_t first, std::size_t last)
{
    m_nFirstChange = std::min(m_nFirstChange, first);
    for (std::size_t i = first; i < last; ++i) {
        m_entries[i]->m_nIndex = static_cast<std::int32_t>(i);
    }
}

bool IsValidTrackIndex(const TrackList& tracks, std::int32_t index)
{
    return index >= 0 && static_cast<std::size_t>(index) < tracks.size();
}

void AddTrack(TrackList& tracks, const QString& path, const QString& title, double length)
{
    tracks.Insert(tracks.size(), NewFileEntry(path, title, length));
}

void InsertTrack(TrackList& tracks, const QString& path, const QString& title, double length,
                 std::int32_t index)
{
    if (!IsValidTrackIndex(tracks, index)) {
        AddTrack(tracks, path, title, length);
        return;
    }
    tracks.Insert(static_cast<std::size_t>(index), NewFileEntry(path, title, length));
}

void InsertTrackSorted(TrackList& tracks, const QString& path, const QString& title, double length,
                       std::int32_t start)
{
    // A linear walk on purpose: the entries from start on need not be sorted, and the place must
    // be the first greater path, not any place a binary search would find.
    for (std::size_t i = static_cast<std::size_t>(std::max(start, 0)); i < tracks.size(); ++i) {
        if (QString::compare(path, tracks[i]->strPath, Qt::CaseSensitive) < 0) {
            tracks.Insert(i, NewFileEntry(path, title, length));
            return;
        }
    }
    AddTrack(tracks, path, title, length);
}

void RemoveAllTracks(TrackList& tracks)
{
    tracks.Clear();
}

void RemoveTrack(TrackList& tracks, std::int32_t index)
{
    if (IsValidTrackIndex(tracks, index)) {
        tracks.Remove(static_cast<std::size_t>(index));
    }
}

void MoveTrack(TrackList& tracks, std::int32_t from, std::int32_t to)
{
    if (IsValidTrackIndex(tracks, from) && IsValidTrackIndex(tracks, to)) {
        tracks.Move(static_cast<std::size_t>(from), static_cast<std::size_t>(to));
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
