// The playlist window's background work: rebuilding missing rows (timer 0) and handing the
// track length loader one path at a time (timer 3), with the loader's report.

#include "common/AutoResetEvent.h"
#include "common/Globals.h"
#include "controls/CTavListCtrl.h"
#include "playlist/CPlayList.h"
#include "playlist/TrackList.h"

#include <QElapsedTimer>

namespace {

const QString kNoLengthText = QStringLiteral("???");

} // namespace

void CPlayList::AddMissingRow(int nRow)
{
    m_list->InsertItem(nRow, GetRowText(nRow));
    m_list->SetItemText(nRow, 1, GetLengthText(m_tracks, nRow));
    m_list->SetItemData(nRow, m_tracks[static_cast<std::size_t>(nRow)]->nTrack);
    UpdateRowImage(nRow);
}

// Rows are added in order at the end of the view. Each tick adds as many as fit in a few
// milliseconds of work (at least one) and then returns to the event loop, so a long list comes
// back in seconds without the window ever stalling; one row per 10 ms tick would take minutes.
void CPlayList::OnRefillTimer()
{
    QElapsedTimer work;
    work.start();
    int row = m_list->GetItemCount();
    do {
        if (static_cast<int>(m_tracks.size()) <= row) {
            KillTimer(kRefillTimer);
            return;
        }
        AddMissingRow(row);
        ++row;
    } while (work.nsecsElapsed() < kRefillBudgetNs);
}

// One request at a time: the path of the first row whose "Time" text is empty (a row that does
// not exist yet counts as empty). The busy flag is raised here, before the loader is woken, so
// that the next tick cannot overwrite the path in the gap before the loader raises it itself;
// the loader lowers it once its report has been handled.
void CPlayList::OnLengthRequestTimer()
{
    if (g_bLoaderBusy.load() != 0) {
        return;
    }
    const int rows = m_list->GetItemCount();
    for (std::size_t i = 0; i < m_tracks.size(); ++i) {
        const auto row = static_cast<int>(i);
        if (row >= rows || m_list->GetItemText(row, 1).isEmpty()) {
            g_strLengthPath = m_tracks[i]->strPath;
            g_bLoaderBusy.exchange(1);
            if (g_hTrackLengthEvent != nullptr) {
                g_hTrackLengthEvent->Set();
            }
            return;
        }
    }
}

// Every entry with the measured path gets the length, so duplicates of one file all receive it.
// Titles are left alone: a title read from a playlist file stays.
void CPlayList::OnTrackLengthLoaded()
{
    const double length = g_dTrackLength;
    for (std::size_t i = 0; i < m_tracks.size(); ++i) {
        TrackEntry& entry = *m_tracks[i];
        if (entry.strPath != g_strLengthPath) {
            continue;
        }
        const auto row = static_cast<int>(i);
        // A NaN is a failed measurement too: as a length it would leave the "Time" text empty
        // and the same file would be asked for again and again.
        if (!(length >= 0.0)) {
            entry.bNoLength = true;
            m_list->SetItemText(row, 1, kNoLengthText);
            UpdateRowImage(row);
        } else {
            entry.dLength = length;
            m_list->SetItemText(row, 1, GetLengthText(m_tracks, row));
        }
    }
}
