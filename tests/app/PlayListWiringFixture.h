#pragma once

#include "MainWindowFixture.h"
#include "TestMedia.h"
#include "controls/CTavListCtrl.h"
#include "playlist/CPlayList.h"
#include "resources/MainDialog.h"

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

using Texts = std::vector<std::string>;

inline void PrintTo(const QPoint& pt, std::ostream* os)
{
    *os << "QPoint(" << pt.x() << ", " << pt.y() << ")";
}

// The main window as at start-up, with its playlist window, and copies of the 3-second test clip
// under names of the test's own (so that each entry has its own path and may be deleted).
class PlayListWiringTest : public MainWindowTest
{
protected:
    static constexpr int kWaitMs = 8000; // every wait for playback is bounded by this

    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(m_folder.isValid());
    }

    // The one playlist window of the main window.
    CPlayList* PlayList() const
    {
        const auto windows = Dlg().findChildren<CPlayList*>();
        EXPECT_EQ(windows.size(), 1);
        return windows.isEmpty() ? nullptr : windows.first();
    }

    CTavListCtrl* List() const { return PlayList()->findChild<CTavListCtrl*>(); }
    QCheckBox* Box() const { return Control<QCheckBox>(IDC_CHECK_PLAYLIST); }

    // name + ".avi" in the test's folder.
    QString PathOf(const char* name) const
    {
        return m_folder.filePath(QString::fromUtf8(name) + QStringLiteral(".avi"));
    }

    // A copy of the AVI clip at PathOf(name).
    QString Clip(const char* name) const
    {
        const QString path = PathOf(name);
        EXPECT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), path)) << name;
        return path;
    }

    // Copies of the clip, each opened with the Open command; the last one is left current.
    void OpenClips(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            OpenWithOpenCommand(Clip(name));
        }
    }

    void OpenWithOpenCommand(const QString& strPath)
    {
        CUserDialogs::SetNextFileName(strPath);
        Click(IDC_OPEN);
    }

    // Next and Prev act on the button going down; their message is posted, so let it arrive.
    void Press(int nId)
    {
        QTest::mouseClick(Button(nId), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(&Dlg());
    }

    // Column 0 (the file name) of every row, and the row of the current entry (-1: none).
    Texts Rows() const
    {
        Texts texts;
        for (int row = 0; row < List()->GetItemCount(); ++row) {
            texts.push_back(List()->GetItemText(row, 0).toStdString());
        }
        return texts;
    }

    int CurrentRow() const { return PlayList()->GetCurrentPosition() - 1; }

    // The main window's outer rectangle, whose bottom-left corner the playlist window docks to.
    QRect MainOuter() const
    {
        return Dlg().windowFlags().testFlag(Qt::FramelessWindowHint) ? Dlg().geometry()
                                                                     : Dlg().frameGeometry();
    }

    static QPoint BelowOf(const QRect& rcWindow)
    {
        return {rcWindow.left(), rcWindow.top() + rcWindow.height()};
    }

    QTemporaryDir m_folder;
};
