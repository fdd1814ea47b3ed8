// The main window's commands: Open, delete, the "Play List" box and the playlist steps.

#include "app/CTavVideoDlg.h"
#include "app/MediaSession.h"
#include "common/Globals.h"
#include "common/PathCodec.h"
#include "controls/UserDialogs.h"
#include "playlist/CPlayList.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kOpenFilter =
    QStringLiteral("Files (*.avi;*.mpg;*.wmv)|*.avi;*.mpg;*.wmv|All Files (*.*)|*.*||");

// Longer paths cannot name a file on this system.
bool PathTooLong(const QString& strPath)
{
    return PathToBytes(strPath).size() >= PATH_MAX;
}

// A file none may write to: the desktop's way of saying "keep this one". lstat, so that a link is
// judged by its own mode, like the name the deletion removes.
bool IsReadOnlyFile(const QString& strPath)
{
    struct stat info = {};
    const QByteArray name = PathToBytes(strPath);
    return !name.isEmpty() && ::lstat(name.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

void CTavVideoDlg::OnOpen()
{
    const QString strPath = CUserDialogs::GetOpenFileName(nullptr, kOpenFilter);
    if (strPath.isEmpty() || PathTooLong(strPath)) {
        return;
    }
    if (OpenMedia(strPath, false)) {
        m_pPlayList->SetCurrentEntry(m_pPlayList->AddFileEntry(strPath, QString(), m_dDuration));
    }
}

void CTavVideoDlg::OnDeleteFile()
{
    // The file is the one on screen when the button is pressed. While the box is open the
    // session goes on (the clip can end and the next entry open), and OK must still delete only
    // the file the user was asked about. A capture preview shows no file: there is none to delete.
    if (g_bCaptureActive) {
        return;
    }
    const QString strPath = m_strCurrentFile;
    if (CUserDialogs::MessageBox(this, QStringLiteral("Are you sure?"),
                                 QStringLiteral("Delete File"),
                                 QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
        return;
    }
    const auto reportFailure = [this, &strPath](const QString& strReason) {
        CUserDialogs::MessageBox(
            this,
            QStringLiteral("%1 could not be deleted: %2.")
                .arg(strPath.isEmpty() ? QStringLiteral("The file") : PathDisplayText(strPath),
                     strReason),
            QStringLiteral("Vessa Video Player"), QMessageBox::Ok, QMessageBox::Warning);
    };
    // A file marked read-only is kept, and so is everything else: the session plays on.
    if (IsReadOnlyFile(strPath)) {
        reportFailure(QString::fromLocal8Bit(std::strerror(EACCES)));
        return;
    }
    const bool bStillShown = m_strCurrentFile == strPath;
    if (bStillShown) {
        OnStop();
        ReleaseSession();
    }
    const QByteArray name = PathToBytes(strPath);
    if (name.isEmpty() || ::unlink(name.constData()) != 0) {
        reportFailure(QString::fromLocal8Bit(std::strerror(name.isEmpty() ? ENOENT : errno)));
        return;
    }

    // The entry to remove is the deleted file's own. The current mark may stand on another
    // entry (the command-line files leave it on the first while the last one plays); removing
    // that one would drop a file that still exists and keep one that is gone.
    const int nEntry = m_pPlayList->EntryOfFile(strPath);
    if (nEntry < 0) {
        return;
    }
    if (!bStillShown) {
        // Another file plays by now: only the gone file's entry goes, and it plays on.
        m_pPlayList->RemoveFileEntry(nEntry);
        return;
    }
    m_pPlayList->SetCurrentEntry(nEntry);
    const int nPosition = m_pPlayList->GetCurrentPosition();
    m_pPlayList->RemoveCurrentEntry();
    // The entry that followed the deleted one now has its index and plays next.
    m_pPlayList->SetCurrentEntry(nPosition - 1);
    OpenMedia(m_pPlayList->GetCurrentPath(), true);
}

void CTavVideoDlg::OnPlayListCheck()
{
    ShowPlayList(m_chkPlayList.isChecked());
}

LResult CTavVideoDlg::OnPlayNext(WParam, LParam)
{
    m_pPlayList->PlayNextEntry();
    return 0;
}

LResult CTavVideoDlg::OnPlayCurrent(WParam, LParam)
{
    OpenMedia(m_pPlayList->GetCurrentPath(), true);
    return 0;
}

LResult CTavVideoDlg::OnPlayPrevious(WParam, LParam)
{
    m_pPlayList->PlayPreviousEntry();
    return 0;
}

LResult CTavVideoDlg::OnTrackLengthLoaded(WParam, LParam)
{
    m_pPlayList->OnTrackLengthLoaded();
    return 0;
}
