// The skinned button: which skin file it paints for each row of the skin table and each state,
// stretched over the whole button, or the plain face colour when there is nothing to draw; and
// the messages it posts to the main window on press, release and double click, relative to its
// click notification.

#include "controls/CTavButtonCtrl.h"

#include "MessageRecorder.h"
#include "common/AppMessages.h"
#include "common/Globals.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

const QColor kFace(250, 20, 240);

// "WM_APP+8 (down)": a message, and whether the button was pushed when it arrived.
std::string Entry(std::uint32_t message, bool down)
{
    return "WM_APP+" + std::to_string(message - WM_APP) + (down ? " (down)" : "");
}

// The skin folder holds every file the skin table names as a small PNG of a solid colour of its
// own, so the colour a button paints tells which file it drew.
class TavButtonTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const TavButtonSkinRow& row : TavButtonSkinTable()) {
            for (const char* name : {row.normal, row.selected, row.disabled}) {
                if (name != nullptr && !QFile::exists(m_dir.filePath(QLatin1String(name)))) {
                    const QColor colour(10 + 4 * static_cast<int>(m_names.size()), 200, 40);
                    m_names[colour.rgb()] = name;
                    QImage image(8, 6, QImage::Format_ARGB32);
                    image.fill(colour);
                    ASSERT_TRUE(image.save(m_dir.filePath(QLatin1String(name))));
                }
            }
        }
        CTavButtonCtrl::SetSkinFolder(m_dir.path());
        g_hMainWnd = &m_mainWindow;
        m_host.setPalette(QPalette(kFace)); // the buttons' face colour
        m_host.resize(200, 100);
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
    }

    void TearDown() override
    {
        CTavButtonCtrl::SetSkinFolder(QString());
        g_hMainWnd = nullptr;
    }

    // Four times the size of the test images; the log starts empty.
    CTavButtonCtrl& NewButton(TavButtonRole role)
    {
        delete m_pNewest;
        m_pNewest = new CTavButtonCtrl(&m_host);
        m_pNewest->setGeometry(10, 10, 32, 24);
        m_pNewest->SetRole(role);
        m_pNewest->show();
        QObject::connect(m_pNewest, &QAbstractButton::clicked,
                         [this] { m_log.push_back("clicked"); });
        m_log.clear();
        return *m_pNewest;
    }

    // The file the button shows, judged from its far corner, which only a stretched image
    // covers; "face" for the plain face colour.
    std::string Drawn() const
    {
        const QImage image = m_pNewest->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb pixel = image.pixel(image.width() - 1, image.height() - 1);
        const auto it = m_names.find(pixel);
        return pixel == kFace.rgb() ? "face" : it == m_names.end() ? "?" : it->second;
    }

    // On the newest button, through the window system's path as a person's mouse arrives: events
    // posted meanwhile are delivered after each press or release, and two quick clicks make a
    // double click.
    void Mouse(void (*action)(QWindow*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint, int))
    {
        action(m_host.windowHandle(), Qt::LeftButton, {}, m_pNewest->geometry().center(), -1);
    }

    QTemporaryDir m_dir;
    std::map<QRgb, std::string> m_names;
    Log m_log;
    CMessageRecorder m_mainWindow{[this](std::uint32_t message) {
        m_log.push_back(Entry(message, m_pNewest != nullptr && m_pNewest->isDown()));
    }};
    QWidget m_host;
    CTavButtonCtrl* m_pNewest = nullptr; // the host's
};

TEST_F(TavButtonTest, EachRowDrawsItsImagesAndShowsItsDisabledImageWhileTheFlagIsFalse)
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
        EXPECT_EQ(Drawn(), row.normal);
        QTest::mousePress(&button, Qt::LeftButton);
        EXPECT_EQ(Drawn(), row.selected);
        QTest::mouseRelease(&button, Qt::LeftButton);

        // The widget stays usable with the flag false, so that it can be pressed: a row with a
        // disabled image shows it even while held down, the others ignore the flag.
        button.SetEnabledFlag(false);
        QTest::mousePress(&button, Qt::LeftButton);
        EXPECT_EQ(Drawn(), row.disabled != nullptr ? row.disabled : row.selected);
        QTest::mouseRelease(&button, Qt::LeftButton);
        EXPECT_EQ(Drawn(), row.disabled != nullptr ? row.disabled : row.normal);
    }
}

// A disabled widget never gets the release of the press it was holding: the button drops the
// press, or it would stay drawn pressed and swallow its next press.
TEST_F(TavButtonTest, DisabledWhileHeldTheButtonLetsGoOfThePress)
{
    CTavButtonCtrl& button = NewButton(TavButtonRole::Eq);
    button.EnableButton(true);
    QTest::mousePress(&button, Qt::LeftButton);
    button.setEnabled(false);
    EXPECT_EQ(Drawn(), "eq.png");
    button.setEnabled(true);
    EXPECT_EQ(Drawn(), "eq.png");
    Mouse(QTest::mouseClick);
    EXPECT_EQ(m_log, Log{"clicked"});
}

TEST_F(TavButtonTest, NothingToDrawLeavesThePlainFaceColour)
{
    NewButton(TavButtonRole::Eq).SetRole(TavButtonRole::Eq, false);
    EXPECT_EQ(Drawn(), "face");
    NewButton(TavButtonRole::Save);
    ASSERT_TRUE(QFile::remove(m_dir.filePath(QStringLiteral("save.png"))));
    EXPECT_EQ(Drawn(), "face");
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
        const auto add = [&expected](std::uint32_t message, bool down) {
            if (message != 0) {
                expected.push_back(Entry(message, down));
            }
        };
        add(TavButtonDownMessage(roles), true);
        expected.push_back("clicked");
        add(TavButtonUpMessage(roles), false);
        // A double click, its messages arriving after it: its second press is no press of its
        // own and brings no second click, so a double click on Next steps once.
        expected.push_back("clicked");
        for (const std::uint32_t message :
             {TavButtonDownMessage(roles), TavButtonUpMessage(roles),
              TavButtonDoubleClickMessage(roles), TavButtonUpMessage(roles)}) {
            add(message, false);
        }
        EXPECT_EQ(m_log, expected);
    }
}

} // namespace
