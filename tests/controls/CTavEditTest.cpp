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

namespace {

class CCounter : public QObject
{
public:
    int m_nFindEnter = 0;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != CAppMessageEvent::EventType()) {
            return QObject::event(event);
        }
        m_nFindEnter += static_cast<CAppMessageEvent*>(event)->Message() == WM_FIND_ENTER ? 1 : 0;
        return true;
    }
};

// In a dialog whose default button would accept it, Enter in the box reaches neither.
TEST(TavEditTest, EnterIsSwallowedAfterTellingTheMainWindow)
{
    CCounter mainWindow;
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

    QTest::keyClicks(edit, QStringLiteral("Holiday"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(edit->text().toStdString(), "Holiday");
    EXPECT_EQ(returnPressed.count(), 0);
    EXPECT_EQ(mainWindow.m_nFindEnter, 2);
    QTest::keyClick(edit, Qt::Key_Escape); // other keys are the dialog's as usual
    EXPECT_FALSE(dialog.isVisible());
    g_hMainWnd = nullptr;
}

} // namespace
