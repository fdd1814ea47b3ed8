// The real skin images the build puts beside the executables, and a picture of every button in
// every state drawn from them, left in the build tree for people to look at.

#include "controls/CTavButtonCtrl.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>
#include <vector>

namespace {

// Every image the role table names, drawn by real buttons from the executable's folder at the size
// of its images, so a file that is missing or does not load shows as a plain button.
TEST(TavButtonSkinFilesTest, EveryImageLoadsBesideTheExecutableAndIsPicturedForPeople)
{
    const QColor face(239, 239, 239);
    CTavButtonCtrl::SetSkinFolder(QString());
    QWidget sheet;
    sheet.setPalette(QPalette(face));
    auto* grid = new QGridLayout(&sheet);
    const char* headings[] = {"normal", "selected", "disabled"};
    for (int column = 0; column < 3; ++column) {
        grid->addWidget(new QLabel(QLatin1String(headings[column])), 0, column + 1);
    }
    std::vector<CTavButtonCtrl*> buttons;
    int line = 0;
    for (const TavButtonSkinRow& row : TavButtonSkinTable()) {
        grid->addWidget(new QLabel(QLatin1String(row.normal)), ++line, 0);
        for (int column = 0; column < 3; ++column) {
            auto* button = new CTavButtonCtrl;
            button->setFixedSize(
                QImage(QStringLiteral(VESSA_RUNTIME_DIR "/") + QLatin1String(row.normal)).size());
            button->SetRole(row.role);
            button->SetPowerOn(row.power == TavButtonSkinRow::Power::On);
            button->EnableButton(column != 2);
            grid->addWidget(button, line, column + 1);
            buttons.push_back(button);
        }
    }
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    for (std::size_t i = 1; i < buttons.size(); i += 3) {
        QTest::mousePress(buttons[i], Qt::LeftButton);
    }

    // Each button shows its artwork, not a plain face.
    for (CTavButtonCtrl* button : buttons) {
        QImage plain(button->size(), QImage::Format_RGB32);
        plain.fill(face);
        EXPECT_FALSE(button->grab().toImage().convertToFormat(QImage::Format_RGB32) == plain)
            << button->ImageName().toStdString();
    }
    const QString folder = QStringLiteral(VESSA_RUNTIME_DIR "/../test-artefacts");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(sheet.grab().toImage().save(folder + QStringLiteral("/skin-buttons.png")));
    for (std::size_t i = 1; i < buttons.size(); i += 3) {
        QTest::mouseRelease(buttons[i], Qt::LeftButton);
    }
}

} // namespace
