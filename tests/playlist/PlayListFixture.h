#pragma once

#include "common/AppMessage.h"
#include "common/AutoResetEvent.h"
#include "common/Globals.h"
#include "controls/CTavListCtrl.h"
#include "controls/UserDialogs.h"
#include "playlist/CPlayList.h"
#include "playlist/RowImages.h"
#include "resources/ControlTable.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using Texts = std::vector<std::string>;
using Numbers = std::vector<std::uint32_t>;

constexpr int P = kImagePlain;
constexpr int M = kImageMarked;
constexpr int A = kImageDeckACurrent;
constexpr int Q = kImageNoLength;

// Stands in for the main window: records each application message, with what the playlist
// reported as current while the message was handled.
class CRecordingMainWindow : public QObject
{
public:
    struct Message
    {
        std::uint32_t nMessage;
        WParam wParam;
        LParam lParam;
        QString currentPath;
    };

    Numbers Sent() const
    {
        Numbers numbers;
        for (const Message& message : m_messages) {
            numbers.push_back(message.nMessage);
        }
        return numbers;
    }

    CPlayList* m_pPlayList = nullptr;
    std::vector<Message> m_messages;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != CAppMessageEvent::EventType()) {
            return QObject::event(event);
        }
        auto* m = static_cast<CAppMessageEvent*>(event);
        m_messages.push_back({m->Message(), m->WParameter(), m->LParameter(),
                              m_pPlayList != nullptr ? m_pPlayList->GetCurrentPath() : QString()});
        return true;
    }
};

// A shown playlist window, a recording main window and a loader event of the test's own.
class PlayListTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_hMainWnd = &m_main;
        g_hTrackLengthEvent = &m_loaderEvent;
        g_bLoaderBusy = 0;
        g_strLengthPath.clear();
        CUserDialogs::Reset();
        m_window = std::make_unique<CPlayList>();
        m_main.m_pPlayList = m_window.get();
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void TearDown() override
    {
        m_main.m_pPlayList = nullptr;
        m_window.reset();
        g_hMainWnd = nullptr;
        g_hTrackLengthEvent = nullptr;
        g_bLoaderBusy = 0;
    }

    CTavListCtrl* List() const { return res::FindControl<CTavListCtrl>(m_window.get(), 1006); }
    static QString PathOf(int i) { return QStringLiteral("/media/clip%1.avi").arg(i); }

    // Appends "/media/clip<i>.avi" entries with the given lengths (-1.0: unknown).
    void AddEntries(const std::vector<double>& lengths)
    {
        for (const double length : lengths) {
            m_window->AddFileEntry(PathOf(static_cast<int>(m_window->Tracks().size())), QString(),
                                   length);
        }
    }

    // The loader's report for one path.
    void Report(int index, double length)
    {
        g_strLengthPath = PathOf(index);
        g_dTrackLength = length;
        m_window->OnTrackLengthLoaded();
    }

    std::vector<int> Images() const
    {
        std::vector<int> images;
        for (int row = 0; row < List()->GetItemCount(); ++row) {
            images.push_back(List()->GetItemImage(row));
        }
        return images;
    }

    Texts Column(int column) const
    {
        Texts texts;
        for (int row = 0; row < List()->GetItemCount(); ++row) {
            texts.push_back(List()->GetItemText(row, column).toStdString());
        }
        return texts;
    }

    QPoint RowCentre(int row) const
    {
        return List()->visualRect(List()->model()->index(row, 0)).center();
    }

    void ClickRow(int row)
    {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(row));
    }

    // What a person's double-click delivers: a click, then a double-click and its release.
    void DoubleClickAt(QPoint point)
    {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, point);
    }

    void ClickButton(int id)
    {
        QTest::mouseClick(res::FindControl<QAbstractButton>(m_window.get(), id), Qt::LeftButton);
    }

    // Runs the event loop until every entry has its row again (bounded).
    bool WaitForAllRows(int timeoutMs = 10000)
    {
        return QTest::qWaitFor(
            [this] {
                return List()->GetItemCount() == static_cast<int>(m_window->Tracks().size());
            },
            timeoutMs);
    }

    CRecordingMainWindow m_main;
    CAutoResetEvent m_loaderEvent;
    std::unique_ptr<CPlayList> m_window;
};
