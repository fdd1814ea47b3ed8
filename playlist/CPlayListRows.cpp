// The rows of the playlist window: their texts and pictures, the marked and the current entry,
// and stepping through the list.

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "controls/CTavListCtrl.h"
#include "playlist/CPlayList.h"
#include "playlist/RowImages.h"
#include "playlist/TrackList.h"

namespace {

// The item data of a row: the entry's CD track number, -1 for a file.
constexpr qintptr kFileItemData = -1;

} // namespace

void CPlayList::AddFileEntry(const QString& path, const QString& title, double length)
{
    const auto row = static_cast<int>(m_tracks.size());
    AddTrack(m_tracks, path, title, length);
    m_list->InsertItem(row, GetRowText(row));
    m_list->SetItemText(row, 1, GetLengthText(m_tracks, row));
    m_list->SetItemData(row, kFileItemData);
    UpdateRowImage(row);
}

int CPlayList::GetRowCount() const
{
    return m_list->GetItemCount();
}

QString CPlayList::GetRowText(int nIndex) const
{
    switch (m_nShowMode) {
    case 0:
        return GetTrackName(m_tracks, nIndex);
    case 1:
        return GetTrackPath(m_tracks, nIndex);
    case 2: {
        const QString title = GetTrackTitle(m_tracks, nIndex);
        return title.isEmpty() ? GetTrackName(m_tracks, nIndex) : title;
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
