// The playlist window's background work: rebuilding missing rows (timer 0) and handing the
// track length loader one path at a time (timer 3), with the loader's report.

#include "common/AutoResetEvent.h"
#include "controls/CTavListCtrl.h"
#include "playback/TrackLengthHandOver.h"
#include "playlist/CPlayList.h"
#include "playlist/TrackList.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

const QString kNoLengthText = QStringLiteral("???");

} // namespace

void CPlayList::AddMissingRow(int nRow)
{
    const TrackEntry& entry = *m_tracks[static_cast<std::size_t>(nRow)];
    m_list->InsertItem(nRow, GetRowText(nRow));
    // A failed measurement stays with the entry: its row says so whenever it is made.
    m_list->SetItemText(nRow, 1, entry.bNoLength ? kNoLengthText : GetLengthText(m_tracks, nRow));
    m_list->SetItemData(nRow, entry.nTrack);
    UpdateRowImage(nRow);
}

// Rows are added in order at the end of the view. Each tick adds as many as fit in a few
// milliseconds of work (at least one) and then returns to the event loop, so a long list comes
// back in seconds without the window ever stalling; one row per 10 ms tick would take minutes.
// While a scan inserts its paths, rows stop where the scan began: the entries after that point
// still move, and the scan's end makes their rows.
void CPlayList::OnRefillTimer()
{
    QElapsedTimer work;
    work.start();
    const int end = IsScanning() ? m_nScanStart : static_cast<int>(m_tracks.size());
    int row = m_list->GetItemCount();
    do {
        if (end <= row) {
            KillTimer(kRefillTimer);
            return;
        }
        AddMissingRow(row);
        ++row;
    } while (work.nsecsElapsed() < kRefillBudgetNs);
}

void CPlayList::SetLengthRequestPace(bool bFollowUp)
{
    if (bFollowUp == (m_nFollowUpTicks > 0)) {
        return;
    }
    m_nFollowUpTicks = bFollowUp ? kLengthFollowUpTicks : 0;
    SetTimer(kLengthRequestTimer, bFollowUp ? kLengthFollowUpInterval : kLengthRequestInterval);
}

// One request at a time: the path of the first entry whose length is neither known nor failed,
// whether or not its row has been made yet. The busy flag is raised here, before the loader is
// woken, so that the next tick cannot overwrite the path in the gap before the loader raises it
// itself; the loader lowers it once its report has been handled.
void CPlayList::OnLengthRequestTimer()
{
    if (g_bLoaderBusy.load() != 0) {
        // Just after a report the loader is about to lower the flag; a loader that does not is
        // asked again at the normal pace.
        if (m_nFollowUpTicks > 0 && --m_nFollowUpTicks == 0) {
            SetTimer(kLengthRequestTimer, kLengthRequestInterval);
        }
        return;
    }
    SetLengthRequestPace(false);
    // Entries inserted, removed or moved above the mark shift the entries' places under it.
    m_nFirstEntryWithoutLength = std::min(m_nFirstEntryWithoutLength, m_tracks.TakeFirstChange());
    for (std::size_t i = m_nFirstEntryWithoutLength; i < m_tracks.size(); ++i) {
        const TrackEntry& entry = *m_tracks[i];
        if (!(entry.dLength >= 0.0) && !entry.bNoLength) {
            m_nFirstEntryWithoutLength = i;
            g_strLengthPath = entry.strPath;
            g_bLoaderBusy.exchange(1);
            if (g_hTrackLengthEvent != nullptr) {
                g_hTrackLengthEvent->Set();
            }
            return;
        }
    }
    m_nFirstEntryWithoutLength = m_tracks.size();
}

// Every entry with the measured path gets the length, so duplicates of one file all receive it.
// Titles are left alone: a title read from a playlist file stays.
void CPlayList::OnTrackLengthLoaded()
{
    const double length = g_dTrackLength;
    for (const std::int32_t row : m_tracks.IndicesOf(g_strLengthPath)) {
        TrackEntry& entry = *m_tracks[static_cast<std::size_t>(row)];
        // A NaN is a failed measurement too: as a length it would leave the length unknown and
        // the same file would be asked for again and again. An entry whose row is not made yet
        // keeps the result for it.
        if (!(length >= 0.0)) {
            entry.bNoLength = true;
            m_list->SetItemText(row, 1, kNoLengthText);
            UpdateRowImage(row);
        } else {
            entry.dLength = length;
            m_list->SetItemText(row, 1, GetLengthText(m_tracks, row));
        }
    }
    SetLengthRequestPace(true);
}
