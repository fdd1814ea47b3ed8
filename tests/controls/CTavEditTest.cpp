#include "controls/CTavEdit.h"

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/Globals.h"

#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>
#include <vector>

namespace {

class CRecorder : public QObject
{
public:
    std::vector<std::uint32_t> m_messages;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == CAppMessageEvent::EventType()) {
            m_messages.push_back(static_cast<CAppMessageEvent*>(event)->Message());
            return true;
        }
        return QObject::event(event);
    }
};

// A dialog whose default button would accept it: Enter in the find box must reach neither.
TEST(TavEditTest, EnterIsSwallowedAfterTellingTheMainWindow)
{
    CRecorder mainWindow;
    g_hMainWnd = &mainWindow;
    QDialog dialog;
    auto* edit = new CTavEdit(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(edit);
    layout->addWidget(ok);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy returnPressed(edit, &QLineEdit::returnPressed);

    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("Holiday"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(edit->text().toStdString(), "Holiday");
    EXPECT_EQ(returnPressed.count(), 0);
    EXPECT_EQ(mainWindow.m_messages, (std::vector<std::uint32_t>{WM_FIND_ENTER, WM_FIND_ENTER}));

    // Other keys edit as usual; Escape still reaches the dialog.
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text().toStdString(), "Holida");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    g_hMainWnd = nullptr;
}

} // namespace
