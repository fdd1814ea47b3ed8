#pragma once

#include "MainWindowFixture.h"
#include "controls/CTavListCtrl.h"
#include "playlist/CPlayList.h"

#include <string>
#include <vector>

using Texts = std::vector<std::string>;

// The file names of the list's rows.
inline Texts Rows(const CTavListCtrl* list)
{
    Texts texts;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        texts.push_back(list->GetItemText(row, 0).toStdString());
    }
    return texts;
}

// The main window with its playlist window, and copies of the test clip under names of the test's
// own, so that each entry has its own path and may be deleted.
class PlayListWiringTest : public MainWindowTest
{
protected:
    CPlayList* PlayList() const { return Dlg().findChild<CPlayList*>(); }
    CTavListCtrl* List() const { return PlayList()->findChild<CTavListCtrl*>(); }
    QCheckBox* Box() const { return Control<QCheckBox>(IDC_CHECK_PLAYLIST); }
    QString PathOf(const char* name) const
    {
        return m_folder.filePath(QString::fromUtf8(name) + QStringLiteral(".avi"));
    }

    // Copies of the clip, each opened with the Open command; the last one is left current.
    void OpenClips(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), PathOf(name))) << name;
            OpenWithOpenCommand(PathOf(name));
        }
    }

    // Next and Prev post their message; let it arrive.
    void Press(int nId)
    {
        Click(nId);
        QCoreApplication::sendPostedEvents(&Dlg());
    }

    int CurrentRow() const { return PlayList()->GetCurrentPosition() - 1; } // -2: none

    // The playlist window's frame, and where it belongs: right under the main window's outer
    // rectangle, at its own size.
    QRect PlayListFrame() const { return PlayList()->frameGeometry(); }
    QRect Docked() const
    {
        return {Dlg().frameGeometry().bottomLeft() + QPoint(0, 1), PlayListFrame().size()};
    }

    QTemporaryDir m_folder;
};
