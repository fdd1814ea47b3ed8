// The playlist window's background work: rebuilding missing rows (timer 0) and handing the
// track length loader one path at a time (timer 3), with the loader's report.

#include "common/AutoResetEvent.h"
#include "common/Globals.h"
#include "controls/CTavListCtrl.h"
#include "playlist/CPlayList.h"
#include "playlist/TrackList.h"

#include <QElapsedTimer>

#include <algorithm>

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

// Rows above m_nFirstRowWithoutTime keep their "Time" texts until the view says otherwise: a
// text changed in column 1, rows inserted, removed or moved, or the whole view rebuilt.
void CPlayList::WatchTimeTexts()
{
    QAbstractItemModel* rows = m_list->model();
    const auto lowerTo = [this](int row) {
        m_nFirstRowWithoutTime = std::min(m_nFirstRowWithoutTime, std::max(row, 0));
    };
    connect(rows, &QAbstractItemModel::dataChanged, this,
            [lowerTo](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (topLeft.column() <= 1 && bottomRight.column() >= 1) {
                    lowerTo(topLeft.row());
                }
            });
    connect(rows, &QAbstractItemModel::rowsInserted, this,
            [lowerTo](const QModelIndex&, int first) { lowerTo(first); });
    connect(rows, &QAbstractItemModel::rowsRemoved, this,
            [lowerTo](const QModelIndex&, int first) { lowerTo(first); });
    connect(rows, &QAbstractItemModel::modelReset, this, [lowerTo] { lowerTo(0); });
    connect(rows, &QAbstractItemModel::layoutChanged, this, [lowerTo] { lowerTo(0); });
    connect(rows, &QAbstractItemModel::rowsMoved, this, [lowerTo] { lowerTo(0); });
    connect(rows, &QAbstractItemModel::columnsInserted, this, [lowerTo] { lowerTo(0); });
    connect(rows, &QAbstractItemModel::columnsRemoved, this, [lowerTo] { lowerTo(0); });
}

void CPlayList::SetLengthRequestPace(bool bFollowUp)
{
    if (bFollowUp == (m_nFollowUpTicks > 0)) {
        return;
    }
    m_nFollowUpTicks = bFollowUp ? kLengthFollowUpTicks : 0;
    SetTimer(kLengthRequestTimer, bFollowUp ? kLengthFollowUpInterval : kLengthRequestInterval);
}

// One request at a time: the path of the first row whose "Time" text is empty (a row that does
// not exist yet counts as empty). The busy flag is raised here, before the loader is woken, so
// that the next tick cannot overwrite the path in the gap before the loader raises it itself;
// the loader lowers it once its report has been handled.
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
    // Entries inserted, removed or moved above the mark shift the rows' meaning under it.
    m_nFirstRowWithoutTime = static_cast<int>(
        std::min(static_cast<std::size_t>(m_nFirstRowWithoutTime), m_tracks.TakeFirstChange()));
    const int rows = m_list->GetItemCount();
    for (auto i = static_cast<std::size_t>(m_nFirstRowWithoutTime); i < m_tracks.size(); ++i) {
        const auto row = static_cast<int>(i);
        if (row >= rows || m_list->GetItemText(row, 1).isEmpty()) {
            m_nFirstRowWithoutTime = row;
            g_strLengthPath = m_tracks[i]->strPath;
            g_bLoaderBusy.exchange(1);
            if (g_hTrackLengthEvent != nullptr) {
                g_hTrackLengthEvent->Set();
            }
            return;
        }
    }
    m_nFirstRowWithoutTime = static_cast<int>(m_tracks.size());
}

// Every entry with the measured path gets the length, so duplicates of one file all receive it.
// Titles are left alone: a title read from a playlist file stays.
void CPlayList::OnTrackLengthLoaded()
{
    const double length = g_dTrackLength;
    for (const std::int32_t row : m_tracks.IndicesOf(g_strLengthPath)) {
        TrackEntry& entry = *m_tracks[static_cast<std::size_t>(row)];
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
    SetLengthRequestPace(true);
}
