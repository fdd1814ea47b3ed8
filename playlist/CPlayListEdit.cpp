// Changing the playlist from its window: moving and deleting rows, clearing the list, and
// choosing what the "Files" column shows.

#include "controls/CTavListCtrl.h"
#include "controls/UserDialogs.h"
#include "playlist/CPlayList.h"
#include "playlist/TrackList.h"

#include <QGuiApplication>

void CPlayList::OnMoveUp()
{
    const int row = m_list->GetSelectionMark();
    if (row < 1) {
        return;
    }
    MoveTrack(m_tracks, row, row - 1);
    // The row is rebuilt one place higher; its "Time" text and item data travel with it.
    m_list->InsertItem(row - 1, m_list->GetItemText(row, 0));
    const QString time = m_list->GetItemText(row + 1, 1);
    const qintptr data = m_list->GetItemData(row + 1);
    m_list->DeleteItem(row + 1);
    MarkEntry(row - 1);
    m_list->SetItemText(row - 1, 1, time);
    m_list->SetItemData(row - 1, data);
    NotifyPlayListChanged();
}

void CPlayList::OnMoveDown()
{
    const int row = m_list->GetSelectionMark();
    if (row == -1 || row + 2 > m_list->GetItemCount()) {
        return;
    }
    if (row < static_cast<int>(m_tracks.size()) - 1) {
        MoveTrack(m_tracks, row, row + 1);
    }
    m_list->InsertItem(row + 2, m_list->GetItemText(row, 0));
    const QString time = m_list->GetItemText(row, 1);
    const qintptr data = m_list->GetItemData(row);
    m_list->DeleteItem(row);
    MarkEntry(row + 1);
    m_list->SetItemText(row + 1, 1, time);
    m_list->SetItemData(row + 1, data);
    NotifyPlayListChanged();
}

void CPlayList::OnDelete()
{
    const int row = m_list->GetSelectionMark();
    if (!IsValidTrackIndex(m_tracks, row)) {
        return;
    }
    RemoveEntry(row);
    NotifyPlayListChanged();
}

void CPlayList::OnDeleteAll()
{
    const QMessageBox::StandardButton answer = CUserDialogs::MessageBox(
        this, QStringLiteral("Are You Sure?"), QGuiApplication::applicationDisplayName(),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Warning);
    if (answer != QMessageBox::Ok) {
        return;
    }
    m_list->DeleteAllItems();
    RemoveAllTracks(m_tracks);
    NotifyPlayListChanged();
}

void CPlayList::RemoveFileEntry(int nIndex)
{
    if (IsValidTrackIndex(m_tracks, nIndex)) {
        RemoveEntry(nIndex);
        NotifyPlayListChanged();
    }
}

void CPlayList::RemoveCurrentEntry()
{
    const int position = GetCurrentPosition();
    if (position == -1) {
        return;
    }
    RemoveEntry(position - 1);
    NotifyPlayListChanged();
}

void CPlayList::OnShowFileName()
{
    SetShowMode(0);
}

void CPlayList::OnShowPath()
{
    SetShowMode(1);
}

void CPlayList::OnShowTag()
{
    SetShowMode(2);
}

// Every row is rebuilt by the refill timer with the new texts; the entries keep their flags and
// the pictures are recomputed as the rows come back.
void CPlayList::SetShowMode(int nMode)
{
    m_nShowMode = nMode;
    m_list->DeleteAllItems();
    SetTimer(kRefillTimer, kRefillInterval);
}
