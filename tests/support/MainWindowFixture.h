#pragma once

// The main window as at start-up, on the offscreen platform, with its playlist window beside it.

#include "TestMedia.h"
#include "app/CTavVideoDlg.h"
#include "app/MediaSession.h"
#include "common/Globals.h"
#include "controls/CTavListCtrl.h"
#include "controls/UserDialogs.h"
#include "playlist/CPlayList.h"
#include "resources/ControlTable.h"
#include "resources/MainDialog.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// Readable values in failure messages.
inline void PrintTo(const QRect& rc, std::ostream* os)
{
    *os << "QRect(" << rc.x() << ", " << rc.y() << ", " << rc.width() << " x " << rc.height()
        << ")";
}

inline QString TitleOf(const QString& strPath)
{
    return QStringLiteral("Vessa Video Player - ") + QFileInfo(strPath).fileName();
}

// Every wait for playback is bounded, generously: a busy machine only makes it slower.
inline bool WaitFor(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 20000);
}

// The process-wide state a main window leaves behind, put back as at start-up.
inline void ResetGlobals()
{
    CUserDialogs::Reset();
    g_pMediaControl.reset();
    g_pMediaSeeking.reset();
    g_pBasicAudio.reset();
    g_pVideoWindow.reset();
    g_pMediaEvent.reset();
    g_bPlaying = false;
    g_bCaptureActive = false;
    g_bCompact = false;
    g_nControlBarHeight = 64;
    g_hMainWnd = nullptr;
}

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

// A main window initialised and shown as at start-up, and a folder of the test's own for copies
// of the test clip, so that each entry has its own path and may be deleted.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        m_pDlg = std::make_unique<CTavVideoDlg>();
        m_pDlg->OnInitDialog();
        m_pDlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_pDlg.get()));
        // A box no answer was queued for would wait for a person: the test fails and closes it.
        QObject::connect(&m_unanswered, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "unanswered: " << box->text().toStdString();
                box->reject();
            }
        });
        m_unanswered.start(100);
    }

    void TearDown() override
    {
        m_pDlg.reset(); // releases the session
        ResetGlobals();
    }

    CTavVideoDlg& Dlg() const { return *m_pDlg; }

    template <class T = QWidget>
    T* Control(int nId) const
    {
        auto* control = qobject_cast<T*>(res::FindControl(m_pDlg.get(), nId));
        EXPECT_NE(control, nullptr) << "control " << nId;
        return control;
    }
    QAbstractButton* Button(int nId) const { return Control<QAbstractButton>(nId); }
    void Click(int nId) const { QTest::mouseClick(Button(nId), Qt::LeftButton); }
    // Next and Prev post their message: it is let arrive.
    void Press(int nId) const
    {
        Click(nId);
        QCoreApplication::sendPostedEvents(m_pDlg.get());
    }

    void OpenWithOpenCommand(const QString& strPath) const
    {
        CUserDialogs::SetNextFileName(strPath);
        Click(IDC_OPEN);
    }

    CPlayList* PlayList() const { return Dlg().findChild<CPlayList*>(); }
    CTavListCtrl* List() const { return PlayList()->findChild<CTavListCtrl*>(); }
    int CurrentRow() const { return PlayList()->GetCurrentPosition() - 1; } // -2: none
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

    QTemporaryDir m_folder;

private:
    std::unique_ptr<CTavVideoDlg> m_pDlg;
    QTimer m_unanswered;
};
