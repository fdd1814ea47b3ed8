// What a skinned button paints: which skin file for each role and state, stretched over the
// whole button, and the plain face colour when there is nothing to draw.

#include "TavButtonTestSkins.h"
#include "controls/CTavButtonCtrl.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using R = TavButtonRole;

// The images a role shows in each state, as the skin table gives them.
struct RoleImages
{
    R role;
    bool powerOn;
    QString normal;
    QString selected;
    QString disabled;         // enabled flag false, not held down
    QString disabledSelected; // enabled flag false, held down
};

QString Png(const char* base, const char* suffix = "")
{
    return QString::fromLatin1(base) + QLatin1String(suffix) + QLatin1String(".png");
}

// The enabled flag does not matter.
RoleImages AnyState(R role, const char* base, bool powerOn = false)
{
    return {role, powerOn, Png(base), Png(base, "Selected"), Png(base), Png(base, "Selected")};
}

// Disabled shows the normal image, held down or not.
RoleImages NormalWhenDisabled(R role, const char* base)
{
    return {role, false, Png(base), Png(base, "Selected"), Png(base), Png(base)};
}

// Disabled shows its own image, held down or not.
RoleImages OwnDisabled(R role, const char* base)
{
    return {role,
            false,
            Png(base),
            Png(base, "Selected"),
            Png(base, "Disabled"),
            Png(base, "Disabled")};
}

const std::vector<RoleImages>& AllRoleImages()
{
    static const std::vector<RoleImages> table{
        AnyState(R::AddFile, "addFile"),
        AnyState(R::AddFolder, "addFolder"),
        NormalWhenDisabled(R::Capture, "capture"),
        NormalWhenDisabled(R::Compact, "compact"),
        AnyState(R::DeckSwap, "deckSwap"),
        AnyState(R::Delete, "delete"),
        AnyState(R::DeleteAll, "deleteAll"),
        AnyState(R::Eq, "eq"),
        OwnDisabled(R::FastForward, "fastForward"),
        AnyState(R::List, "list"),
        AnyState(R::MoveDown, "moveDown"),
        AnyState(R::MoveUp, "moveUp"),
        AnyState(R::NextTrack, "nextTrack"),
        NormalWhenDisabled(R::Open, "open"),
        OwnDisabled(R::Play, "play"),
        OwnDisabled(R::PlayPause, "playPause"),
        AnyState(R::Power, "powerOn", true),
        AnyState(R::Power, "powerOff", false),
        AnyState(R::PreviousTrack, "previousTrack"),
        AnyState(R::Remove, "remove"),
        OwnDisabled(R::Rewind, "rewind"),
        OwnDisabled(R::Reverse, "reverse"),
        AnyState(R::Save, "save"),
        AnyState(R::Speaker, "speaker"),
        NormalWhenDisabled(R::Stop, "stop"),
        NormalWhenDisabled(R::Uncompact, "uncompact"),
    };
    return table;
}

class TavButtonDrawTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_skin.IsValid());
        m_host.resize(200, 100);
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
    }

    CTavButtonCtrl& NewButton(QSize size = QSize(32, 25))
    {
        m_buttons.push_back(std::make_unique<CTavButtonCtrl>(&m_host));
        CTavButtonCtrl& button = *m_buttons.back();
        QPalette palette = button.palette();
        palette.setColor(QPalette::Button, TestFaceColor());
        button.setPalette(palette);
        button.setGeometry(QRect(QPoint(10, 10), size));
        button.show();
        return button;
    }

    // The file the button shows, judged from the middle of the painted button.
    QString Drawn(CTavButtonCtrl& button)
    {
        const QImage image = PaintedImage(button);
        return m_skin.NameOf(image.pixel(image.width() / 2, image.height() / 2));
    }

    CTestSkin m_skin;
    QWidget m_host;
    std::vector<std::unique_ptr<CTavButtonCtrl>> m_buttons;
};

TEST_F(TavButtonDrawTest, EachRoleDrawsItsImageInEveryState)
{
    for (const RoleImages& expected : AllRoleImages()) {
        SCOPED_TRACE(expected.normal.toStdString());
        CTavButtonCtrl& button = NewButton();
        button.SetRole(expected.role);
        button.SetPowerOn(expected.powerOn);

        button.EnableButton(true);
        EXPECT_EQ(Drawn(button), expected.normal);
        QTest::mousePress(&button, Qt::LeftButton);
        EXPECT_EQ(Drawn(button), expected.selected);
        QTest::mouseRelease(&button, Qt::LeftButton);
        EXPECT_EQ(Drawn(button), expected.normal);

        button.EnableButton(false);
        EXPECT_EQ(Drawn(button), expected.disabled);
        // Held down with its enabled flag false: the widget itself stays usable so that it can
        // be pressed, the flag alone picks the image.
        button.setEnabled(true);
        button.SetEnabledFlag(false);
        QTest::mousePress(&button, Qt::LeftButton);
        EXPECT_EQ(Drawn(button), expected.disabledSelected);
        QTest::mouseRelease(&button, Qt::LeftButton);
    }
}

TEST_F(TavButtonDrawTest, TheFirstRoleOfTheSkinTableWinsWhenSeveralAreSet)
{
    struct Case
    {
        std::vector<R> roles;
        QString drawn;
    };
    const std::vector<Case> cases{
        {{R::Play, R::AddFile}, QStringLiteral("addFile.png")},
        {{R::Reverse, R::Rewind}, QStringLiteral("rewind.png")},
        {{R::Remove, R::Delete}, QStringLiteral("delete.png")},
        {{R::Stop, R::Compact}, QStringLiteral("compact.png")},
        {{R::Uncompact, R::Reverse}, QStringLiteral("reverse.png")},
        {{R::PreviousTrack, R::Power}, QStringLiteral("powerOff.png")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drawn.toStdString());
        CTavButtonCtrl& button = NewButton();
        for (R role : c.roles) {
            button.SetRole(role);
        }
        button.EnableButton(true);
        EXPECT_EQ(Drawn(button), c.drawn);
    }
}

TEST_F(TavButtonDrawTest, TheEnabledFlagStartsFalseAndFollowsTheWidgetsEnabledChanges)
{
    CTavButtonCtrl& play = NewButton();
    play.SetRole(R::Play);
    // Enabling an enabled widget changes nothing, so the flag is still false: the owner sets it.
    play.setEnabled(true);
    EXPECT_FALSE(play.EnabledFlag());
    EXPECT_EQ(Drawn(play), QStringLiteral("playDisabled.png"));

    play.setEnabled(false);
    play.setEnabled(true);
    EXPECT_TRUE(play.EnabledFlag());
    EXPECT_EQ(Drawn(play), QStringLiteral("play.png"));
    play.setEnabled(false);
    EXPECT_EQ(Drawn(play), QStringLiteral("playDisabled.png"));
}

TEST_F(TavButtonDrawTest, SwitchingCompactRolesRedrawsWithTheOtherImage)
{
    CTavButtonCtrl& button = NewButton();
    button.SetRole(R::Compact);
    button.EnableButton(true);
    EXPECT_EQ(Drawn(button), QStringLiteral("compact.png"));
    button.SetRole(R::Uncompact, true);
    button.SetRole(R::Compact, false);
    button.setText(QStringLiteral("Normal"));
    EXPECT_EQ(Drawn(button), QStringLiteral("uncompact.png"));
    EXPECT_EQ(button.text(), QStringLiteral("Normal"));
}

TEST_F(TavButtonDrawTest, ImageIsStretchedOverAButtonFourTimesItsSize)
{
    // Four quadrants of different colours: each must cover its quarter of the button.
    const QColor quadrant[4] = {QColor(200, 0, 0), QColor(0, 200, 0), QColor(0, 0, 200),
                                QColor(200, 200, 0)};
    QImage image(CTestSkin::kWidth, CTestSkin::kHeight, QImage::Format_ARGB32);
    {
        QPainter painter(&image);
        const int w = CTestSkin::kWidth / 2;
        const int h = CTestSkin::kHeight / 2;
        painter.fillRect(0, 0, w, h, quadrant[0]);
        painter.fillRect(w, 0, w, h, quadrant[1]);
        painter.fillRect(0, h, w, h, quadrant[2]);
        painter.fillRect(w, h, w, h, quadrant[3]);
    }
    m_skin.Write(QStringLiteral("stop.png"), image);

    const QSize size(4 * CTestSkin::kWidth, 4 * CTestSkin::kHeight);
    CTavButtonCtrl& button = NewButton(size);
    button.SetRole(R::Stop);
    const QImage painted = PaintedImage(button);
    ASSERT_EQ(painted.size(), size);
    const int right = size.width() - 1;
    const int bottom = size.height() - 1;
    const QPoint probes[4][2] = {{{0, 0}, {size.width() / 2 - 3, size.height() / 2 - 3}},
                                 {{right, 0}, {size.width() / 2 + 2, size.height() / 2 - 3}},
                                 {{0, bottom}, {size.width() / 2 - 3, size.height() / 2 + 2}},
                                 {{right, bottom}, {size.width() / 2 + 2, size.height() / 2 + 2}}};
    for (int q = 0; q < 4; ++q) {
        for (const QPoint& probe : probes[q]) {
            EXPECT_EQ(QColor(painted.pixel(probe)).name().toStdString(),
                      quadrant[q].name().toStdString())
                << "quadrant " << q << " at " << probe.x() << "," << probe.y();
        }
    }
}

TEST_F(TavButtonDrawTest, TransparentPartsOfTheImageShowTheFaceColour)
{
    QImage image(CTestSkin::kWidth, CTestSkin::kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.fillRect(CTestSkin::kWidth / 2, 0, CTestSkin::kWidth / 2, CTestSkin::kHeight,
                         QColor(0, 0, 200));
    }
    m_skin.Write(QStringLiteral("open.png"), image);
    CTavButtonCtrl& button = NewButton(QSize(40, 24));
    button.SetRole(R::Open);
    const QImage painted = PaintedImage(button);
    EXPECT_EQ(QColor(painted.pixel(2, 12)).name().toStdString(),
              TestFaceColor().name().toStdString());
    EXPECT_EQ(QColor(painted.pixel(37, 12)).name().toStdString(), "#0000c8");
}

TEST_F(TavButtonDrawTest, NothingToDrawLeavesThePlainFaceColour)
{
    CTavButtonCtrl& noRole = NewButton();
    CTavButtonCtrl& missing = NewButton();
    missing.SetRole(R::Save);
    ASSERT_TRUE(QFile::remove(m_skin.Path(QStringLiteral("save.png"))));
    CTavButtonCtrl& unreadable = NewButton();
    unreadable.SetRole(R::Eq);
    {
        QFile garbage(m_skin.Path(QStringLiteral("eq.png")));
        ASSERT_TRUE(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
        garbage.write("not a picture");
    }

    QImage plain(noRole.size(), QImage::Format_RGB32);
    plain.fill(TestFaceColor());
    for (CTavButtonCtrl* button : {&noRole, &missing, &unreadable}) {
        EXPECT_EQ(FirstDifference(PaintedImage(*button), plain), "")
            << button->ImageName().toStdString();
    }
}

TEST_F(TavButtonDrawTest, TheSkinFileIsReadAgainOnEveryPaint)
{
    CTavButtonCtrl& button = NewButton();
    button.SetRole(R::NextTrack);
    EXPECT_EQ(Drawn(button), QStringLiteral("nextTrack.png"));

    m_skin.WriteSolid(QStringLiteral("nextTrack.png"), QColor(1, 2, 3));
    EXPECT_EQ(QColor(PaintedImage(button).pixel(16, 12)).name().toStdString(), "#010203");

    // A skin file deleted while the player runs leaves that button plain, and only that one.
    CTavButtonCtrl& other = NewButton();
    other.SetRole(R::PreviousTrack);
    ASSERT_TRUE(QFile::remove(m_skin.Path(QStringLiteral("nextTrack.png"))));
    EXPECT_EQ(Drawn(button), QStringLiteral("face"));
    EXPECT_EQ(Drawn(other), QStringLiteral("previousTrack.png"));
}

TEST_F(TavButtonDrawTest, IconModeDrawsTheIconSixteenPixelsSquareInTheMiddle)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor(0, 90, 0));
    CTavButtonCtrl& button = NewButton(QSize(41, 31));
    button.SetRole(R::Play); // ignored in icon mode
    button.SetIconMode(130, QIcon(pixmap));
    EXPECT_EQ(button.IconId(), 130);
    // (41 - 16) / 2 = 12 and (31 - 16) / 2 = 7: the icon covers x 12..27 and y 7..22.
    QImage expected(41, 31, QImage::Format_RGB32);
    expected.fill(TestFaceColor());
    QPainter(&expected).fillRect(12, 7, 16, 16, QColor(0, 90, 0));
    EXPECT_EQ(FirstDifference(PaintedImage(button), expected), "");
}

TEST(TavButtonSkinFolderTest, DefaultsToTheExecutablesFolder)
{
    CTavButtonCtrl::SetSkinFolder(QString());
    EXPECT_EQ(CTavButtonCtrl::SkinFolder(),
              QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    CTavButtonCtrl::SetSkinFolder(QStringLiteral("/tmp/skins"));
    CTavButtonCtrl button;
    button.SetRole(R::Play);
    button.SetEnabledFlag(true);
    EXPECT_EQ(button.ImagePath(), QStringLiteral("/tmp/skins/play.png"));
    CTavButtonCtrl::SetSkinFolder(QString());
}

} // namespace
