// The main window's commands: Open, delete, the "Play List" box and the playlist steps.

#include "app/CTavVideoDlg.h"
#include "controls/UserDialogs.h"
#include "playlist/CPlayList.h"
#include "playlist/TrackList.h"

#include <QFile>

#include <climits>

namespace {

const QString kOpenFilter =
    QStringLiteral("Files (*.avi;*.mpg;*.wmv)|*.avi;*.mpg;*.wmv|All Files (*.*)|*.*||");

// Longer paths cannot name a file on this system.
bool PathTooLong(const QString& strPath)
{
    return strPath.toUtf8().size() >= PATH_MAX;
}

// The deck-A playlist entry of a file: the current entry when it is that file, else the first
// deck-A entry with its path; -1 when there is none. Only deck A has the current entry that the
// delete command removes, so an entry on another deck is never the one to mark.
int EntryOfFile(const CPlayList& playList, const QString& strPath)
{
    const TrackList& tracks = playList.Tracks();
    const int nCurrent = playList.GetCurrentPosition() - 1;
    if (nCurrent >= 0 && GetTrackPath(tracks, nCurrent) == strPath) {
        return nCurrent;
    }
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i]->nDeck == 0 && tracks[i]->strPath == strPath) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

void CTavVideoDlg::OnOpen()
{
    const QString strPath = CUserDialogs::GetOpenFileName(nullptr, kOpenFilter);
    if (strPath.isEmpty() || PathTooLong(strPath)) {
        return;
    }
    if (OpenMedia(strPath, false)) {
        AddPlayListEntry(strPath, QString(), m_dDuration);
        SetPlayListCurrentEntry(GetPlayListRowCount() - 1);
    }
}

void CTavVideoDlg::OnDeleteFile()
{
    if (CUserDialogs::MessageBox(this, QStringLiteral("Are you sure?"),
                                 QStringLiteral("Delete File"),
                                 QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
        return;
    }
    OnStop();
    ReleaseSession();

    QFile file(m_strCurrentFile);
    if (!file.remove()) {
        CUserDialogs::MessageBox(
            this,
            QStringLiteral("%1 could not be deleted: %2.")
                .arg(m_strCurrentFile.isEmpty() ? QStringLiteral("The file") : m_strCurrentFile,
                     file.errorString()),
            QStringLiteral("Vessa Video Player"), QMessageBox::Ok, QMessageBox::Warning);
        return;
    }

    // The entry to remove is the deleted file's own. The current mark may stand on another
    // entry (the command-line files leave it on the first while the last one plays); removing
    // that one would drop a file that still exists and keep one that is gone.
    if (m_pPlayList != nullptr) {
        const int nEntry = EntryOfFile(*m_pPlayList, m_strCurrentFile);
        if (nEntry < 0) {
            return;
        }
        SetPlayListCurrentEntry(nEntry);
    }
    const int nPosition = GetPlayListCurrentPosition();
    RemovePlayListCurrentEntry();
    // The entry that followed the deleted one now has its index and plays next.
    SetPlayListCurrentEntry(nPosition - 1);
    OpenMedia(GetPlayListCurrentPath(), true);
}

void CTavVideoDlg::OnPlayListCheck()
{
    ShowPlayList(m_chkPlayList.isChecked());
}

LResult CTavVideoDlg::OnPlayNext(WParam, LParam)
{
    PlayNextEntry();
    return 0;
}

LResult CTavVideoDlg::OnPlayCurrent(WParam, LParam)
{
    OpenMedia(GetPlayListCurrentPath(), true);
    return 0;
}

LResult CTavVideoDlg::OnPlayPrevious(WParam, LParam)
{
    PlayPreviousEntry();
    return 0;
}

LResult CTavVideoDlg::OnTrackLengthLoaded(WParam, LParam)
{
    PlayListTrackLengthLoaded();
    return 0;
}
