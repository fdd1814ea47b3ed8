// The skinned button: which skin file it shows for each row of the skin table and each state, the
// file painted stretched over the whole button or the plain face colour when there is nothing to
// draw; and the messages it posts to the main window on press, release and double click,
// relative to its click notification.

#include "controls/CTavButtonCtrl.h"

#include "MessageRecorder.h"
#include "common/AppMessages.h"
#include "common/Globals.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class TavButtonTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_hMainWnd = &m_mainWindow;
        m_host.resize(200, 100);
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
    }
    void TearDown() override
    {
        CTavButtonCtrl::SetSkinFolder(QString());
        g_hMainWnd = nullptr;
    }

    // Four times the size of the test image; the log starts empty.
    CTavButtonCtrl& NewButton(TavButtonRole role)
    {
        delete m_pButton;
        m_pButton = new CTavButtonCtrl(&m_host);
        m_pButton->setGeometry(10, 10, 32, 24);
        m_pButton->SetRole(role);
        m_pButton->show();
        QObject::connect(m_pButton, &QAbstractButton::clicked,
                         [this] { m_log.push_back("clicked"); });
        m_log.clear();
        return *m_pButton;
    }
    std::string Shown() const { return m_pButton->ImageName().toStdString(); }

    // On the button, through the window system's path as a person's mouse arrives: events posted
    // meanwhile are delivered after each press or release, and two quick clicks make a double
    // click.
    void Mouse(void (*action)(QWindow*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint, int))
    {
        action(m_host.windowHandle(), Qt::LeftButton, {}, m_pButton->geometry().center(), -1);
    }

    Log m_log;
    CMessageRecorder m_mainWindow{[this](std::uint32_t message) {
        m_log.push_back("WM_APP+" + std::to_string(message - WM_APP) +
                        (m_pButton->isDown() ? " (down)" : ""));
    }};
    QWidget m_host;
    CTavButtonCtrl* m_pButton = nullptr; // the host's
};

TEST_F(TavButtonTest, EachRowShowsItsImagesAndItsDisabledImageWhileTheFlagIsFalse)
{
    for (const TavButtonSkinRow& row : TavButtonSkinTable()) {
        SCOPED_TRACE(row.normal);
        for (const char* name : {row.normal, row.selected, row.disabled}) {
            EXPECT_TRUE(
                name == nullptr ||
                !QImage(QStringLiteral(VESSA_RUNTIME_DIR "/") + QLatin1String(name)).isNull())
                << name << " is not beside the executable";
        }
        CTavButtonCtrl& button = NewButton(row.role);
        button.SetPowerOn(row.power == TavButtonSkinRow::Power::On);
        button.EnableButton(true);
        EXPECT_EQ(Shown(), row.normal);
        QTest::mousePress(&button, Qt::LeftButton);
        EXPECT_EQ(Shown(), row.selected);
        QTest::mouseRelease(&button, Qt::LeftButton);

        // The widget stays usable with the flag false, so that it can be pressed: a row with a
        // disabled image shows it even while held down, the others ignore the flag.
        button.SetEnabledFlag(false);
        QTest::mousePress(&button, Qt::LeftButton);
        EXPECT_EQ(Shown(), row.disabled != nullptr ? row.disabled : row.selected);
        QTest::mouseRelease(&button, Qt::LeftButton);
        EXPECT_EQ(Shown(), row.disabled != nullptr ? row.disabled : row.normal);
    }
    // A disabled widget never gets the release of the press it was holding: the button drops the
    // press, or it would stay drawn pressed and swallow its next press.
    NewButton(TavButtonRole::Eq).EnableButton(true);
    QTest::mousePress(m_pButton, Qt::LeftButton);
    m_pButton->setEnabled(false);
    m_pButton->setEnabled(true);
    EXPECT_EQ(Shown(), "eq.png");
    QCoreApplication::processEvents();
    m_log.clear();
    Mouse(QTest::mouseClick);
    EXPECT_EQ(m_log, Log{"clicked"});
}

TEST_F(TavButtonTest, TheImageIsStretchedOverTheButtonOrThePlainFaceColourShows)
{
    QTemporaryDir dir;
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("stop.png"))));
    CTavButtonCtrl::SetSkinFolder(dir.path());
    m_host.setPalette(QPalette(Qt::magenta)); // the buttons' face colour
    // Opposite corners: only an image stretched over the whole button covers both.
    const auto corners = [this] {
        const QImage painted = m_pButton->grab().toImage();
        return QColor(painted.pixel(0, 0)).name() + QColor(painted.pixel(31, 23)).name();
    };
    NewButton(TavButtonRole::Stop);
    EXPECT_EQ(corners(), QStringLiteral("#00ff00#00ff00"));
    NewButton(TavButtonRole::Save); // no such file
    EXPECT_EQ(corners(), QStringLiteral("#ff00ff#ff00ff"));
    NewButton(TavButtonRole::Stop).SetRole(TavButtonRole::Stop, false);
    EXPECT_EQ(corners(), QStringLiteral("#ff00ff#ff00ff"));
}

TEST_F(TavButtonTest, ClickAndDoubleClickPostAroundTheClickNotification)
{
    for (std::size_t r = 0; r < kTavButtonRoleCount; ++r) {
        SCOPED_TRACE(r);
        TavButtonRoleFlags roles{};
        roles[r] = true;
        NewButton(static_cast<TavButtonRole>(r)).EnableButton(true);
        Mouse(QTest::mousePress);
        Mouse(QTest::mouseRelease);
        Mouse(QTest::mouseDClick);

        // The press's message arrives once the press has pushed the button; the release's is
        // posted before the click notification, so it arrives after it.
        Log expected;
        const auto add = [&expected](std::uint32_t message, const char* down = "") {
            if (message != 0) {
                expected.push_back("WM_APP+" + std::to_string(message - WM_APP) + down);
            }
        };
        add(TavButtonDownMessage(roles), " (down)");
        expected.push_back("clicked");
        add(TavButtonUpMessage(roles));
        // A double click, its messages arriving after it: its second press is no press of its
        // own and brings no second click, so a double click on Next steps once.
        expected.push_back("clicked");
        for (const std::uint32_t message :
             {TavButtonDownMessage(roles), TavButtonUpMessage(roles),
              TavButtonDoubleClickMessage(roles), TavButtonUpMessage(roles)}) {
            add(message);
        }
        EXPECT_EQ(m_log, expected);
    }
}

} // namespace
