// The find box: Enter neither searches nor reaches the window's default button.

#include "controls/CTavEdit.h"

#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(TavEditTest, EnterNeitherSearchesNorPressesTheDefaultButton)
{
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
}
