// The rows of the playlist window: their texts and pictures, the marked and the current entry,
// and stepping through the list.

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "common/PathCodec.h"
#include "controls/CTavListCtrl.h"
#include "playlist/CPlayList.h"
#include "playlist/RowImages.h"
#include "playlist/TrackList.h"

int CPlayList::AddFileEntry(const QString& path, const QString& title, double length)
{
    const auto entry = static_cast<int>(m_tracks.size());
    // The rows are a prefix of the entries. While they lag behind (the refill timer rebuilds
    // them, a scan inserts entries), a row made here would land at the end of the rows and show
    // this entry where another belongs: the refill makes it in its turn instead.
    const bool bRowsComplete = !IsScanning() && GetRowCount() == entry;
    AddTrack(m_tracks, path, title, length);
    if (bRowsComplete) {
        AddMissingRow(entry);
    } else if (!IsScanning()) {
        SetTimer(kRefillTimer, kRefillInterval);
    }
    return entry;
}

bool CPlayList::IsScanning() const
{
    return m_timers[kScanInsertTimer].isActive();
}

// Every command that removes an entry goes through here, so that row and entry go together.
void CPlayList::RemoveEntry(int nIndex)
{
    m_list->DeleteItem(nIndex); // none while the entry's row has not been made yet
    RemoveTrack(m_tracks, nIndex);
    if (IsScanning() && nIndex < m_nScanStart) {
        --m_nScanStart; // the scan's entries all moved up by one
    }
}

// Only deck A has the current entry that the main window's delete command removes, so an entry on
// another deck is never the one to mark.
int CPlayList::EntryOfFile(const QString& path) const
{
    const int current = GetCurrentPosition() - 1;
    if (current >= 0 && GetTrackPath(m_tracks, current) == path) {
        return current;
    }
    for (const std::int32_t index : m_tracks.IndicesOf(path)) {
        if (m_tracks[static_cast<std::size_t>(index)]->nDeck == 0) {
            return index;
        }
    }
    return -1;
}

int CPlayList::GetRowCount() const
{
    return m_list->GetItemCount();
}

QString CPlayList::GetRowText(int nIndex) const
{
    switch (m_nShowMode) {
    case 0:
        return PathDisplayText(GetTrackName(m_tracks, nIndex));
    case 1:
        return PathDisplayText(GetTrackPath(m_tracks, nIndex));
    case 2: {
        const QString title = GetTrackTitle(m_tracks, nIndex);
        return title.isEmpty() ? PathDisplayText(GetTrackName(m_tracks, nIndex)) : title;
    }
    default:
        return {};
    }
}

void CPlayList::MarkEntry(int nRow)
{
    for (std::size_t i = 0; i < m_tracks.size(); ++i) {
        if (m_tracks[i]->bMarked) {
            m_tracks[i]->bMarked = false;
            UpdateRowImage(static_cast<int>(i));
        }
    }
    if (IsValidTrackIndex(m_tracks, nRow)) {
        m_tracks[static_cast<std::size_t>(nRow)]->bMarked = true;
    }
    UpdateRowImage(nRow);
    m_list->SetSelectionMark(nRow);
    m_list->EnsureVisible(nRow);
}

// Precedence for deck A: no length, current, marked, plain.
void CPlayList::UpdateRowImage(int nRow)
{
    if (nRow == -1) {
        return;
    }
    int image = m_list->GetItemImage(nRow);
    if (!IsValidTrackIndex(m_tracks, nRow) || m_tracks[static_cast<std::size_t>(nRow)]->bNoLength) {
        image = kImageNoLength;
    } else {
        const TrackEntry& entry = *m_tracks[static_cast<std::size_t>(nRow)];
        if (entry.nDeck == 0 || entry.nDeck == 1) {
            image = entry.bMarked ? kImageMarked : kImagePlain;
            if (entry.bCurrent) {
                image = entry.nDeck == 0 ? kImageDeckACurrent : kImageDeckBCurrent;
            }
        }
    }
    m_list->SetItemImage(nRow, image);
    m_list->EnsureVisible(m_list->GetSelectionMark());
}

void CPlayList::SetCurrentEntry(int nIndex)
{
    const int deck = IsValidTrackIndex(m_tracks, nIndex)
                         ? m_tracks[static_cast<std::size_t>(nIndex)]->nDeck
                         : -1;
    // Every entry is looked at, not only those that have a row yet: while the rows are being
    // rebuilt an entry further down may be the current one, and leaving it set would give the
    // deck two current entries.
    for (std::size_t i = 0; i < m_tracks.size(); ++i) {
        if (m_tracks[i]->bCurrent && m_tracks[i]->nDeck == deck) {
            m_tracks[i]->bCurrent = false;
            UpdateRowImage(static_cast<int>(i));
        }
    }
    if (IsValidTrackIndex(m_tracks, nIndex)) {
        m_tracks[static_cast<std::size_t>(nIndex)]->bCurrent = true;
    }
    UpdateRowImage(nIndex);
    m_list->EnsureVisible(nIndex);
}

int CPlayList::GetCurrentPosition() const
{
    int position = -1;
    for (std::size_t i = 0; i < m_tracks.size(); ++i) {
        if (m_tracks[i]->nDeck == 0 && m_tracks[i]->bCurrent) {
            position = static_cast<int>(i) + 1;
        }
    }
    return position;
}

QString CPlayList::GetCurrentPath() const
{
    QString path;
    const int rows = std::min(GetRowCount(), static_cast<int>(m_tracks.size()));
    for (int i = 0; i < rows; ++i) {
        const TrackEntry& entry = *m_tracks[static_cast<std::size_t>(i)];
        if (entry.nDeck == 0 && entry.bCurrent) {
            path = entry.strPath;
        }
    }
    return path;
}

void CPlayList::PlayNextEntry()
{
    const int current = GetCurrentPosition() - 1; // -2 when there is none
    const int rows = GetRowCount();
    if (current == rows - 1) {
        return;
    }
    for (int i = current < 0 ? 0 : current + 1; i < rows; ++i) {
        if (IsValidTrackIndex(m_tracks, i) && m_tracks[static_cast<std::size_t>(i)]->nDeck == 0) {
            SetCurrentEntry(i);
            SendAppMessage(g_hMainWnd, WM_PLAY_CURRENT);
            return;
        }
    }
}

void CPlayList::PlayPreviousEntry()
{
    const int current = GetCurrentPosition() - 1;
    if (current <= 0) {
        return;
    }
    for (int i = current - 1; i >= 0; --i) {
        if (IsValidTrackIndex(m_tracks, i) && m_tracks[static_cast<std::size_t>(i)]->nDeck == 0) {
            SetCurrentEntry(i);
            SendAppMessage(g_hMainWnd, WM_PLAY_CURRENT);
            return;
        }
    }
}

void CPlayList::OnListClick()
{
    MarkEntry(m_list->GetSelectionMark());
}

// A double-click on empty space plays the row that holds the selection mark.
void CPlayList::OnListDblClk()
{
    const int row = m_list->GetSelectionMark();
    SetCurrentEntry(row);
    const int deck =
        IsValidTrackIndex(m_tracks, row) ? m_tracks[static_cast<std::size_t>(row)]->nDeck : -1;
    SendAppMessage(g_hMainWnd, WM_PLAY_CURRENT, static_cast<WParam>(static_cast<LParam>(deck)));
}
