// The real skin images the build puts beside the executables: every file the role table names is
// there, loads, and has the looks its state calls for. Also leaves a picture of every button in
// every state in the build tree, for people to look at.

#include "controls/CTavButtonCtrl.h"

#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const QColor kFace(239, 239, 239);

QString RuntimeFile(const QString& name)
{
    return QStringLiteral(VESSA_RUNTIME_DIR "/") + name;
}

// The image as it looks on a button of the usual face colour.
QImage OnFace(const QImage& image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(kFace);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

int DarkestLightness(const QImage& image)
{
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            darkest = std::min(darkest, QColor(image.pixel(x, y)).lightness());
        }
    }
    return darkest;
}

double MeanLightness(const QImage& image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            sum += QColor(image.pixel(x, y)).lightness();
        }
    }
    return sum / (image.width() * image.height());
}

QImage Load(const char* name)
{
    return QImage(RuntimeFile(QString::fromLatin1(name)));
}

TEST(TavButtonSkinFilesTest, EveryImageOfTheRoleTableIsBesideTheExecutableAndLoads)
{
    QSet<QString> names;
    for (const TavButtonSkinRow& row : TavButtonSkinTable()) {
        for (const char* name : {row.normal, row.selected, row.disabled}) {
            if (name == nullptr) {
                continue;
            }
            names.insert(QString::fromLatin1(name));
            const QImage image(RuntimeFile(QString::fromLatin1(name)));
            EXPECT_FALSE(image.isNull()) << name;
            EXPECT_TRUE(image.hasAlphaChannel()) << name;
        }
    }
    // 26 normal and 26 selected images, and 5 disabled ones of their own.
    EXPECT_EQ(names.size(), 57);
}

TEST(TavButtonSkinFilesTest, EachStateHasItsOwnLook)
{
    for (const TavButtonSkinRow& row : TavButtonSkinTable()) {
        SCOPED_TRACE(row.normal);
        const QImage normal = Load(row.normal);
        const QImage selected = Load(row.selected);
        ASSERT_FALSE(normal.isNull());
        ASSERT_FALSE(selected.isNull());

        // Rounded corners: the face colour shows there.
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(normal.width() - 1, 0), QPoint(0, normal.height() - 1),
              QPoint(normal.width() - 1, normal.height() - 1)}) {
            EXPECT_LT(qAlpha(normal.pixel(corner)), 128) << corner.x() << "," << corner.y();
        }
        // A symbol stands out of the plate.
        EXPECT_LT(DarkestLightness(OnFace(normal)), 140);
        // Held down looks pushed in: a darker plate, and a different picture.
        EXPECT_NE(selected, normal);
        EXPECT_LT(MeanLightness(OnFace(selected)), MeanLightness(OnFace(normal)) - 10);

        if (row.disabled != nullptr && qstrcmp(row.disabled, row.normal) != 0) {
            // Greyed: the darkest ink is much lighter than in the normal image.
            const QImage disabled = Load(row.disabled);
            ASSERT_FALSE(disabled.isNull());
            EXPECT_GT(DarkestLightness(OnFace(disabled)), DarkestLightness(OnFace(normal)) + 60);
        }
    }
}

// Every role in every state, drawn by real buttons from the executable's folder at the size of
// its images.
TEST(TavButtonSkinFilesTest, PictureOfEveryButtonInEveryStateForPeopleToLookAt)
{
    CTavButtonCtrl::SetSkinFolder(QString());
    QWidget sheet;
    QPalette palette = sheet.palette();
    palette.setColor(QPalette::Button, kFace);
    palette.setColor(QPalette::Window, kFace);
    sheet.setPalette(palette);
    auto* grid = new QGridLayout(&sheet);
    const char* headings[] = {"normal", "selected", "disabled"};
    for (int column = 0; column < 3; ++column) {
        grid->addWidget(new QLabel(QString::fromLatin1(headings[column])), 0, column + 1);
    }
    std::vector<CTavButtonCtrl*> buttons;
    int line = 1;
    for (const TavButtonSkinRow& row : TavButtonSkinTable()) {
        grid->addWidget(new QLabel(QString::fromLatin1(row.normal)), line, 0);
        const QSize size = Load(row.normal).size();
        for (int column = 0; column < 3; ++column) {
            auto* button = new CTavButtonCtrl;
            button->setFixedSize(size);
            button->SetRole(row.role);
            button->SetPowerOn(row.power == TavButtonSkinRow::Power::On);
            button->EnableButton(column != 2);
            grid->addWidget(button, line, column + 1);
            buttons.push_back(button);
        }
        ++line;
    }
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    for (std::size_t i = 1; i < buttons.size(); i += 3) {
        QTest::mousePress(buttons[i], Qt::LeftButton);
    }

    // Each button shows its artwork, not a plain face.
    for (CTavButtonCtrl* button : buttons) {
        EXPECT_LT(DarkestLightness(button->grab().toImage()), 200)
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
