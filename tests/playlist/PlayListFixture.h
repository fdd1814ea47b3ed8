#pragma once

#include "common/AppMessage.h"
#include "common/AutoResetEvent.h"
#include "common/Globals.h"
#include "controls/CTavListCtrl.h"
#include "controls/UserDialogs.h"
#include "playback/TrackLengthHandOver.h"
#include "playlist/CPlayList.h"
#include "resources/ControlTable.h"
#include "resources/PlayListDialog.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using Texts = std::vector<std::string>;
using Numbers = std::vector<std::uint32_t>;

// A shown playlist window and a loader event of the test's own. The fixture stands in for the
// main window: it records each application message the playlist sends it.
class PlayListTest : public QObject, public testing::Test
{
protected:
    void SetUp() override
    {
        g_hMainWnd = this;
        g_hTrackLengthEvent = &m_loaderEvent;
        g_bLoaderBusy = 0;
        g_strLengthPath.clear();
        CUserDialogs::Reset();
        m_window = std::make_unique<CPlayList>();
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void TearDown() override
    {
        m_window.reset();
        g_hMainWnd = nullptr;
        g_hTrackLengthEvent = nullptr;
        g_bLoaderBusy = 0;
    }

    bool event(QEvent* event) override
    {
        if (event->type() != CAppMessageEvent::EventType()) {
            return QObject::event(event);
        }
        m_sent.push_back(static_cast<CAppMessageEvent*>(event)->Message());
        return true;
    }

    CTavListCtrl* List() const
    {
        return res::FindControl<CTavListCtrl>(m_window.get(), IDC_PLAYLIST);
    }

    // Appends "/media/clip<i>.avi" entries with the given lengths (-1.0: unknown).
    void AddEntries(const std::vector<double>& lengths)
    {
        for (const double length : lengths) {
            m_window->AddFileEntry(
                QStringLiteral("/media/clip%1.avi").arg(m_window->Tracks().size()), QString(),
                length);
        }
    }

    // What the main window hands over when the loader reports a path's length.
    void Report(const QString& path, double length)
    {
        g_strLengthPath = path;
        g_dTrackLength = length;
        m_window->OnTrackLengthLoaded();
    }

    // The rows as "Files|Time|picture", space-separated; the picture is P plain, M marked, A
    // current (deck A), B current (deck B) or Q no length.
    std::string Rows() const
    {
        QString rows;
        for (int row = 0; row < List()->GetItemCount(); ++row) {
            const int image = List()->GetItemImage(row);
            rows += (row > 0 ? QStringLiteral(" ") : QString()) + List()->GetItemText(row, 0) +
                    u'|' + List()->GetItemText(row, 1) + u'|' +
                    QLatin1Char(image >= 0 && image < 5 ? "BPAMQ"[image] : '?');
        }
        return rows.toStdString();
    }

    void ClickRow(int row)
    {
        const QPoint point = List()->visualRect(List()->model()->index(row, 0)).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, point);
    }

    void ClickButton(int id)
    {
        QTest::mouseClick(res::FindControl<QAbstractButton>(m_window.get(), id), Qt::LeftButton);
    }

    // Runs the event loop until every entry has its row again (bounded).
    bool WaitForAllRows()
    {
        const auto entries = static_cast<int>(m_window->Tracks().size());
        return QTest::qWaitFor([&] { return List()->GetItemCount() == entries; }, 20000);
    }

    Numbers m_sent;
    CAutoResetEvent m_loaderEvent;
    std::unique_ptr<CPlayList> m_window;
};
