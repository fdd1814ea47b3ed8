#include "PlayListFixture.h"

#include "common/AppMessages.h"
#include "common/Globals.h"
#include "controls/UserDialogs.h"
#include "playlist/DialogTemplate.h"

#include <QAbstractButton>
#include <QTest>

std::vector<std::uint32_t> CRecordingMainWindow::Numbers() const
{
    std::vector<std::uint32_t> numbers;
    for (const Message& message : m_messages) {
        numbers.push_back(message.nMessage);
    }
    return numbers;
}

std::size_t CRecordingMainWindow::Count(std::uint32_t message) const
{
    return static_cast<std::size_t>(
        std::count_if(m_messages.begin(), m_messages.end(),
                      [message](const Message& m) { return m.nMessage == message; }));
}

bool CRecordingMainWindow::event(QEvent* event)
{
    if (event->type() != CAppMessageEvent::EventType()) {
        return QObject::event(event);
    }
    auto* message = static_cast<CAppMessageEvent*>(event);
    m_messages.push_back({message->Message(), message->WParameter(), message->LParameter(),
                          m_pPlayList != nullptr ? m_pPlayList->GetCurrentPath() : QString()});
    return true;
}

void PlayListTest::SetUp()
{
    g_hMainWnd = &m_main;
    g_hTrackLengthEvent = &m_loaderEvent;
    g_bLoaderBusy = 0;
    g_strLengthPath.clear();
    g_dTrackLength = 0.0;
    CUserDialogs::Reset();
    m_window = std::make_unique<CPlayList>();
    m_main.m_pPlayList = m_window.get();
    m_window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
}

void PlayListTest::TearDown()
{
    m_main.m_pPlayList = nullptr;
    m_window.reset();
    g_hMainWnd = nullptr;
    g_hTrackLengthEvent = nullptr;
    g_bLoaderBusy = 0;
    g_strLengthPath.clear();
    CUserDialogs::Reset();
}

CTavListCtrl* PlayListTest::List() const
{
    return FindControl<CTavListCtrl>(m_window.get(), 1006);
}

QString PlayListTest::PathOf(int index)
{
    return QStringLiteral("/media/clip%1.avi").arg(index);
}

void PlayListTest::AddEntries(const std::vector<double>& lengths)
{
    const auto first = static_cast<int>(m_window->Tracks().size());
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        m_window->AddFileEntry(PathOf(first + static_cast<int>(i)), QString(), lengths[i]);
    }
}

void PlayListTest::AddEntryCount(int count, double length)
{
    AddEntries(std::vector<double>(static_cast<std::size_t>(count), length));
}

std::vector<int> PlayListTest::Images() const
{
    std::vector<int> images;
    for (int row = 0; row < List()->GetItemCount(); ++row) {
        images.push_back(List()->GetItemImage(row));
    }
    return images;
}

std::vector<std::string> PlayListTest::Column(int column) const
{
    std::vector<std::string> texts;
    for (int row = 0; row < List()->GetItemCount(); ++row) {
        texts.push_back(List()->GetItemText(row, column).toStdString());
    }
    return texts;
}

void PlayListTest::ClickRow(int row)
{
    CTavListCtrl* list = List();
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    ASSERT_TRUE(rect.isValid()) << "row " << row;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void PlayListTest::DoubleClickRow(int row)
{
    CTavListCtrl* list = List();
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    ASSERT_TRUE(rect.isValid()) << "row " << row;
    DoubleClickAt(rect.center());
}

void PlayListTest::DoubleClickAt(QPoint point)
{
    // What a person's double-click delivers: a click, then a double-click and its release.
    QWidget* viewport = List()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, point);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, point);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, point);
}

void PlayListTest::ClickButton(int id)
{
    auto* button = FindControl<QAbstractButton>(m_window.get(), id);
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

bool PlayListTest::WaitForAllRows(int timeoutMs)
{
    return QTest::qWaitFor(
        [this] { return List()->GetItemCount() == static_cast<int>(m_window->Tracks().size()); },
        timeoutMs);
}
