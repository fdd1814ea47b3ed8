#pragma once

#include "common/AppMessage.h"
#include "common/AutoResetEvent.h"
#include "common/Globals.h"
#include "controls/CTavListCtrl.h"
#include "playlist/CPlayList.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Stands in for the main window: records every application message it receives, in order,
// together with what the playlist reported as current at that moment.
class CRecordingMainWindow : public QObject
{
public:
    struct Message
    {
        std::uint32_t nMessage;
        WParam wParam;
        LParam lParam;
        QString currentPath; // GetCurrentPath() while the message was handled
    };

    CPlayList* m_pPlayList = nullptr;
    std::vector<Message> m_messages;

    std::vector<std::uint32_t> Numbers() const;
    std::size_t Count(std::uint32_t message) const;

protected:
    bool event(QEvent* event) override;
};

// A shown playlist window with a recording main window and a loader event of its own. The
// loader globals are restored after each test.
class PlayListTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    CTavListCtrl* List() const;
    // Appends entries "/media/clip<i>.avi" with the given lengths (-1.0 for unknown).
    void AddEntries(const std::vector<double>& lengths);
    void AddEntryCount(int count, double length = 65.0);
    static QString PathOf(int index);
    std::vector<int> Images() const;
    std::vector<std::string> Column(int column) const;
    void ClickRow(int row);
    void DoubleClickRow(int row);
    void DoubleClickAt(QPoint point);
    void ClickButton(int id);
    // Runs the event loop until the view has as many rows as entries (bounded).
    bool WaitForAllRows(int timeoutMs = 10000);

    CRecordingMainWindow m_main;
    CAutoResetEvent m_loaderEvent;
    std::unique_ptr<CPlayList> m_window;
};
