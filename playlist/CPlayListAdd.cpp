// Adding to the playlist: "+ File" (media and list files), "+ Folder" (a scan of a folder tree
// whose files are inserted in path order over timer ticks, with a progress bar in place of the
// buttons), and files dropped on the list.

#include "common/AppMessages.h"
#include "common/Globals.h"
#include "common/PathParts.h"
#include "controls/CTavButtonCtrl.h"
#include "controls/CTavListCtrl.h"
#include "controls/UserDialogs.h"
#include "playlist/CPlayList.h"
#include "playlist/FolderScan.h"
#include "playlist/PlayListFile.h"
#include "playlist/PlayListIO.h"
#include "playlist/TrackList.h"
#include "resources/PlayListDialog.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <limits>
#include <utility>

void CPlayList::BindFileControls()
{
    connect(m_btnAddFile, &QPushButton::clicked, this, &CPlayList::OnAddFile);
    connect(m_btnAddFolder, &QPushButton::clicked, this, &CPlayList::OnAddFolder);
    connect(m_btnSave, &QPushButton::clicked, this, &CPlayList::OnSave);
    connect(res::FindControl<QPushButton>(this, IDC_FINDNEXT), &QPushButton::clicked, this,
            &CPlayList::OnFindNext);
    m_messages.On(WM_FILES_DROPPED, this, &CPlayList::OnFilesDropped);
    // The button tips show also while the window is not the active one: it is a tool window
    // beside the player, and a person points at it without clicking it first.
    setAttribute(Qt::WA_AlwaysShowToolTips);
}

void CPlayList::OnAddFile()
{
    const QString patterns = g_strMediaPatterns + QStringLiteral("; *.m3u; *.pls");
    const QString filter = QStringLiteral("Files (") + patterns + QStringLiteral(")|") + patterns +
                           QStringLiteral("|All Files (*.*)|*.*||");
    const QStringList paths = CUserDialogs::GetOpenFileNames(this, filter);
    if (paths.isEmpty()) {
        return;
    }
    int mark = m_list->GetSelectionMark();
    const auto entriesBefore = static_cast<int>(m_tracks.size());
    for (const QString& path : paths) {
        if (IsPlayListExtension(PathParts::Split(path).ext)) {
            LoadPlayListFile(*this, path);
        } else {
            AddFileEntry(path, QString(), -1.0);
        }
    }
    // With a row selected before, that row keeps (or regains) the arrow; with none, the first new
    // row gets it, whether it came from a media file or from a list.
    if (mark == -1) {
        mark = entriesBefore;
    }
    if (IsValidTrackIndex(m_tracks, mark)) {
        MarkEntry(mark);
    }
    NotifyPlayListChanged();
}

void CPlayList::OnAddFolder()
{
    ClearScanQueue();
    const QString folder =
        CUserDialogs::GetExistingDirectory(this, QStringLiteral("Select a folder of tracks."));
    if (!folder.isEmpty()) {
        m_nScanStart = static_cast<int>(m_tracks.size());
        ScanFolder(folder, MediaExtensions(g_strMediaPatterns), &m_scanQueue);
        // Inserting in path order from a sorted queue lets each path start looking for its place
        // where the one before it landed, so the whole insertion is linear rather than quadratic;
        // the end result is the same as inserting the paths in any order. Stable: equal paths
        // keep their order, each one going after the one before.
        std::stable_sort(m_scanQueue.begin(), m_scanQueue.end(),
                         [](const QString& a, const QString& b) {
                             return QString::compare(a, b, Qt::CaseSensitive) < 0;
                         });
        m_nScanCursor = m_nScanStart;
        m_nScanExpectedSize = m_tracks.size();
        m_progress->setRange(0, static_cast<int>(std::min<std::size_t>(
                                    m_scanQueue.size(), std::numeric_limits<int>::max())));
        m_progress->setValue(0);
        ShowScanControls(true);
        SetTimer(kScanInsertTimer, kScanInsertInterval);
        SetTimer(kScanProgressTimer, kScanProgressInterval);
    }
    activateWindow();
    setFocus();
}

void CPlayList::ClearScanQueue()
{
    m_scanQueue.clear();
}

// While a scan's paths go in, the button row gives way to the progress bar. The show-mode
// buttons rest too: a show-mode change rebuilds the rows, and rows rebuilt while paths are still
// being inserted in the middle of the list would stand for the wrong entries.
void CPlayList::ShowScanControls(bool bScanning)
{
    for (CTavButtonCtrl* button : {m_btnAddFile, m_btnAddFolder, m_btnDeleteAll, m_btnDelete,
                                   m_btnSave, m_btnDown, m_btnUp}) {
        button->setVisible(!bScanning);
    }
    m_progress->setVisible(bScanning);
    for (const int id : {IDC_SHOWFILENAME, IDC_SHOWPATH, IDC_SHOWTAG}) {
        res::FindControl<QRadioButton>(this, id)->setEnabled(!bScanning);
    }
}

// Inserts queued paths in path order from where the scan began, as many as fit in the tick's
// time budget (at least one), then lets the window breathe. An empty queue ends the scan: the
// buttons come back and the refill timer adds the rows of the new entries.
void CPlayList::OnScanInsertTimer()
{
    if (m_scanQueue.empty()) {
        ShowScanControls(false);
        KillTimer(kScanProgressTimer);
        KillTimer(kScanInsertTimer);
        // No row was made past the scan's start meanwhile: the refill makes them all now.
        SetTimer(kRefillTimer, kRefillInterval);
        return;
    }
    // The list changed between ticks (a drop, a delete): the shortcut no longer holds, and the
    // next path looks for its place from the scan's start again.
    if (m_tracks.size() != m_nScanExpectedSize) {
        m_nScanCursor = m_nScanStart;
    }
    QElapsedTimer work;
    work.start();
    do {
        const QString path = std::move(m_scanQueue.front());
        m_scanQueue.pop_front();
        // Where InsertTrackSorted will put it: before the first greater path from the cursor on.
        int place = std::max(m_nScanCursor, 0);
        const auto size = static_cast<int>(m_tracks.size());
        while (place < size &&
               QString::compare(path, GetTrackPath(m_tracks, place), Qt::CaseSensitive) >= 0) {
            ++place;
        }
        InsertTrackSorted(m_tracks, path, QString(), -1.0, m_nScanCursor);
        m_nScanCursor = place + 1;
    } while (!m_scanQueue.empty() && work.nsecsElapsed() < kRefillBudgetNs);
    m_nScanExpectedSize = m_tracks.size();
}

void CPlayList::OnScanProgressTimer()
{
    m_progress->setValue(m_progress->maximum() - static_cast<int>(m_scanQueue.size()));
}

// Dropped names are appended as they are, in drop order: not tested, not sorted, not read as
// lists, and no row is marked.
LResult CPlayList::OnFilesDropped(WParam, LParam)
{
    const QStringList names = std::exchange(m_list->m_hDrop, {});
    for (const QString& name : names) {
        AddFileEntry(name, QString(), -1.0);
    }
    return 0;
}
