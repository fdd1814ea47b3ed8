#pragma once

#include "QtPrinters.h"
#include "app/CTavVideoDlg.h"
#include "common/Globals.h"
#include "controls/UserDialogs.h"
#include "playback/SessionPointers.h"
#include "resources/ControlTable.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

// A main window initialised and shown as at start-up (without command-line files), with the
// process-wide state reset around each test.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        CUserDialogs::Reset();
        m_pDlg = std::make_unique<CTavVideoDlg>();
        m_pDlg->OnInitDialog();
        m_pDlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_pDlg.get()));
    }

    void TearDown() override
    {
        m_pDlg.reset(); // releases the session
        while (QGuiApplication::overrideCursor() != nullptr) {
            QGuiApplication::restoreOverrideCursor();
        }
        CUserDialogs::Reset();
        ResetGlobals();
    }

    static void ResetGlobals()
    {
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

    CTavVideoDlg& Dlg() const { return *m_pDlg; }

    template <class T = QWidget>
    T* Control(int nId) const
    {
        auto* control = qobject_cast<T*>(res::FindControl(m_pDlg.get(), nId));
        EXPECT_NE(control, nullptr) << "control " << nId;
        return control;
    }

    QAbstractButton* Button(int nId) const { return Control<QAbstractButton>(nId); }
    QSlider* Slider(int nId) const { return Control<QSlider>(nId); }
    QString TimeText() const;

    void Click(int nId) const { QTest::mouseClick(Button(nId), Qt::LeftButton); }

private:
    std::unique_ptr<CTavVideoDlg> m_pDlg;
};

inline QString MainWindowTest::TimeText() const
{
    return Control<QLabel>(1006)->text();
}
