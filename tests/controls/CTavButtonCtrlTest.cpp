// The skinned button: which skin file it shows for each row of the skin table and each state.
// Its press messages are checked where the main window acts on them (Next and Prev).

#include "controls/CTavButtonCtrl.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <string>
#include <vector>

// The widget stays usable with the enabled flag false, so that it can be pressed: a row with a
// disabled image shows it even while held down, the others ignore the flag.
TEST(TavButtonTest, EachRowShowsItsImagesAndItsDisabledImageWhileTheFlagIsFalse)
{
    for (const TavButtonSkinRow& row : TavButtonSkinTable()) {
        CTavButtonCtrl button;
        button.SetRole(row.role);
        button.SetPowerOn(row.power == TavButtonSkinRow::Power::On);
        button.EnableButton(true);
        std::vector<std::string> shown;
        for (const bool enabled : {true, false}) {
            button.SetEnabledFlag(enabled);
            QTest::mousePress(&button, Qt::LeftButton);
            shown.push_back(button.ImageName().toStdString());
            QTest::mouseRelease(&button, Qt::LeftButton);
            shown.push_back(button.ImageName().toStdString());
        }
        const char* disabled = row.disabled;
        EXPECT_EQ(shown, (std::vector<std::string>{row.selected, row.normal,
                                                   disabled ? disabled : row.selected,
                                                   disabled ? disabled : row.normal}));
        EXPECT_FALSE(QImage(QStringLiteral(VESSA_RUNTIME_DIR "/") + row.normal).isNull());
    }
}

// A disabled widget never gets the release of the press it was holding: the button drops the
// press, or it would stay drawn pressed and swallow its next press.
TEST(TavButtonTest, DisablingTheButtonWhilePressedDropsThePress)
{
    QWidget host;
    auto* button = new CTavButtonCtrl(&host);
    button->setGeometry(10, 10, 32, 24);
    button->SetRole(TavButtonRole::Eq);
    button->EnableButton(true);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    QTest::mousePress(button, Qt::LeftButton);
    button->setEnabled(false);
    button->setEnabled(true);
    EXPECT_EQ(button->ImageName().toStdString(), "eq.png");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}
