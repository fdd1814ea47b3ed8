// Every place the main window creates, docks or asks the playlist window. The playlist window is
// created once while the main window initialises and lives as its child until the main window
// goes; before that (and in a window that was never initialised) there is no playlist: nothing
// is docked or shown, there is no current entry and no entry to step to.

#include "app/CTavVideoDlg.h"
#include "playlist/CPlayList.h"

void CTavVideoDlg::CreatePlayList()
{
    if (m_pPlayList != nullptr) {
        return;
    }
    // Modeless and hidden until docked; a child of this window, so it stays usable while this
    // window runs modally and is destroyed with it.
    m_pPlayList = new CPlayList(this);
}

void CTavVideoDlg::DockPlayList()
{
    // In full-screen form the playlist window stays hidden: the resize that enters the form may
    // be reported after the form's own layout, and must not bring the window back over the
    // picture. Leaving the form docks it again through the resize back.
    if (m_pPlayList == nullptr || m_bFullScreen) {
        return;
    }
    // A hidden playlist window is docked too, as it follows moves while hidden: checking the box
    // later shows it under this window rather than where this window's old bottom edge was.
    m_pPlayList->DockUnder(OuterRect());
    if (m_chkPlayList.isChecked()) {
        m_pPlayList->show();
    }
}

void CTavVideoDlg::MovePlayListTo(const QPoint& ptTopLeft)
{
    if (m_pPlayList != nullptr) {
        m_pPlayList->MoveFrameTo(ptTopLeft);
    }
}

void CTavVideoDlg::ShowPlayList(bool bShow)
{
    if (m_pPlayList != nullptr) {
        m_pPlayList->setVisible(bShow);
    }
}

int CTavVideoDlg::AddPlayListEntry(const QString& strPath, const QString& strTitle, double dLength)
{
    return m_pPlayList != nullptr ? m_pPlayList->AddFileEntry(strPath, strTitle, dLength) : -1;
}

void CTavVideoDlg::SetPlayListCurrentEntry(int nIndex)
{
    if (m_pPlayList != nullptr) {
        m_pPlayList->SetCurrentEntry(nIndex);
    }
}

int CTavVideoDlg::GetPlayListCurrentPosition() const
{
    return m_pPlayList != nullptr ? m_pPlayList->GetCurrentPosition() : -1;
}

QString CTavVideoDlg::GetPlayListCurrentPath() const
{
    return m_pPlayList != nullptr ? m_pPlayList->GetCurrentPath() : QString();
}

void CTavVideoDlg::RemovePlayListCurrentEntry()
{
    if (m_pPlayList != nullptr) {
        m_pPlayList->RemoveCurrentEntry();
    }
}

// The playlist makes the next entry current and sends WM_PLAY_CURRENT back, which opens it.
void CTavVideoDlg::PlayNextEntry()
{
    if (m_pPlayList != nullptr) {
        m_pPlayList->PlayNextEntry();
    }
}

void CTavVideoDlg::PlayPreviousEntry()
{
    if (m_pPlayList != nullptr) {
        m_pPlayList->PlayPreviousEntry();
    }
}

void CTavVideoDlg::PlayListTrackLengthLoaded()
{
    if (m_pPlayList != nullptr) {
        m_pPlayList->OnTrackLengthLoaded();
    }
}

void CTavVideoDlg::StartTrackLengthLoader()
{
    m_loader.Start();
}

// The loader reports to this window and waits on the application's event: it must be gone
// before either is. Stopping is prompt even in the middle of a measurement.
void CTavVideoDlg::StopTrackLengthLoader()
{
    m_loader.Stop();
}
