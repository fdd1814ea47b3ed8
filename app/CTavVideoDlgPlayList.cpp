// Every place the main window creates, docks or asks the playlist window. The playlist window
// (CPlayList) and the track length loader arrive with their own change; until then the main
// window has no playlist: nothing is docked or shown, there is no current entry and no entry to
// step to, so the Next and Previous steps, the end-of-file step and the length reports have no
// effect, and the delete command leaves the window without a session.

#include "app/CTavVideoDlg.h"

void CTavVideoDlg::CreatePlayList()
{
    // m_pPlayList = new CPlayList(this), created modeless from dialog 129.
}

void CTavVideoDlg::DockPlayList()
{
    // When the "Play List" box is checked: the playlist window's top-left corner to this
    // window's bottom-left corner, its size kept, and shown.
}

void CTavVideoDlg::MovePlayListTo(const QPoint& /*ptTopLeft*/)
{
    // The playlist window's top-left corner to ptTopLeft, its size kept, shown or not.
}

void CTavVideoDlg::ShowPlayList(bool /*bShow*/) {}

void CTavVideoDlg::AddPlayListEntry(const QString& /*strPath*/, const QString& /*strTitle*/,
                                    double /*dLength*/)
{}

void CTavVideoDlg::SetPlayListCurrentEntry(int /*nIndex*/) {}

int CTavVideoDlg::GetPlayListCurrentPosition() const
{
    return -1;
}

QString CTavVideoDlg::GetPlayListCurrentPath() const
{
    return {};
}

int CTavVideoDlg::GetPlayListRowCount() const
{
    return 0;
}

void CTavVideoDlg::RemovePlayListCurrentEntry() {}

void CTavVideoDlg::PlayNextEntry() {}

void CTavVideoDlg::PlayPreviousEntry() {}

void CTavVideoDlg::PlayListTrackLengthLoaded() {}

void CTavVideoDlg::StartTrackLengthLoader()
{
    // The loader thread, below normal priority, waiting on g_hTrackLengthEvent.
}
