// Where the main window makes, docks, moves and shows the playlist window. The playlist window is
// made once while the main window initialises, before the command-line files open, the window's
// messages can arrive or its controls can be used, and lives as its child until the main window
// goes: everything else calls it directly. Only resizes and moves come earlier (the window is
// built and placed first), and those do nothing until it exists.

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
