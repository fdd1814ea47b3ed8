// The controls of the playlist window as its table builds them, and the seven image buttons of
// its button row: role, image and the messages a press posts.

#include "PlayListFixture.h"
#include "common/AppMessages.h"
#include "controls/CTavButtonCtrl.h"
#include "controls/CTavEdit.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QProgressBar>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {

using Controls = PlayListTest;

struct ControlCase
{
    int nId;
    const char* className;
    const char* text; // caption of a button or group box, else empty
    res::DlgUnitRect rc;
    bool bVisible;
};

// The window as a person sees it: every control in its place, with its caption, in the dialog
// font, in stacking order.
TEST_F(Controls, TheTableBuildsEveryControlWithItsClassCaptionPlaceAndVisibility)
{
    const ControlCase cases[] = {
        {1006, "CTavListCtrl", "", {7, 41, 334, 121}, true},
        {1007, "CTavButtonCtrl", "Up", {114, 166, 24, 16}, true},
        {1008, "CTavButtonCtrl", "+ File", {20, 166, 27, 16}, true},
        {1009, "CTavButtonCtrl", "+ Folder", {64, 166, 33, 16}, true},
        {1010, "CTavButtonCtrl", "Delete", {199, 166, 30, 16}, true},
        {1011, "CTavButtonCtrl", "Down", {155, 166, 27, 16}, true},
        {1012, "QProgressBar", "", {7, 170, 334, 12}, false},
        {1013, "CTavEdit", "", {159, 18, 131, 14}, true},
        {1015, "CTavButtonCtrl", "Save", {301, 166, 24, 16}, true},
        {1072, "QGroupBox", "Show", {7, 7, 138, 30}, true},
        {1073, "CTavButtonCtrl", "Delete All", {246, 166, 38, 16}, true},
        {1074, "QRadioButton", "File Name", {18, 18, 43, 11}, true},
        {1075, "QRadioButton", "Path", {68, 18, 34, 11}, true},
        {1076, "QRadioButton", "Tag", {109, 18, 27, 11}, true},
        {1077, "QGroupBox", "Find", {153, 7, 188, 30}, true},
        {1078, "QPushButton", "Next", {298, 18, 33, 12}, true},
    };
    QFont dialogFont = QApplication::font();
    dialogFont.setPointSize(8);
    EXPECT_EQ(m_window->font(), dialogFont);
    EXPECT_EQ(m_window->size(), res::DialogUnitsToPixels(348, 190, dialogFont));

    std::vector<int> stacking;
    for (const QObject* child : m_window->children()) {
        if (const QVariant id = child->property(res::kControlIdProperty); id.isValid()) {
            stacking.push_back(id.toInt());
        }
    }
    std::vector<int> tableOrder;
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.nId);
        tableOrder.push_back(c.nId);
        QWidget* control = res::FindControl(m_window.get(), c.nId);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->objectName(), QString::number(c.nId));
        EXPECT_STREQ(control->metaObject()->className(), c.className);
        EXPECT_EQ(control->font(), dialogFont);
        EXPECT_EQ(control->geometry(), res::DialogUnitsToPixels(c.rc, dialogFont));
        EXPECT_EQ(control->isVisible(), c.bVisible);
        QString caption;
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            caption = button->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
            caption = group->title();
        }
        EXPECT_EQ(caption.toStdString(), c.text);
    }
    EXPECT_EQ(stacking, tableOrder);
}

struct ButtonCase
{
    int nId;
    TavButtonRole role;
    const char* image;
    QRgb color; // of the test skin's image
};

constexpr ButtonCase kButtons[] = {
    {1007, TavButtonRole::MoveUp, "moveUp.png", 0xffc00000},
    {1008, TavButtonRole::AddFile, "addFile.png", 0xff00c000},
    {1009, TavButtonRole::AddFolder, "addFolder.png", 0xff0000c0},
    {1010, TavButtonRole::Delete, "delete.png", 0xffc0c000},
    {1011, TavButtonRole::MoveDown, "moveDown.png", 0xff00c0c0},
    {1015, TavButtonRole::Save, "save.png", 0xffc000c0},
    {1073, TavButtonRole::DeleteAll, "deleteAll.png", 0xff602000},
};

// The buttons read a skin of one solid colour per image from a folder of the test's own.
class Buttons : public PlayListTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_skin.isValid());
        for (const ButtonCase& c : kButtons) {
            QImage image(8, 6, QImage::Format_ARGB32);
            image.fill(c.color);
            ASSERT_TRUE(image.save(m_skin.filePath(QString::fromLatin1(c.image))));
        }
        CTavButtonCtrl::SetSkinFolder(m_skin.path());
        PlayListTest::SetUp();
    }

    void TearDown() override
    {
        PlayListTest::TearDown();
        CTavButtonCtrl::SetSkinFolder(QString());
    }

    CTavButtonCtrl* Button(int nId) const
    {
        return res::FindControl<CTavButtonCtrl>(m_window.get(), nId);
    }

    QTemporaryDir m_skin;
};

TEST_F(Buttons, EachCarriesItsRoleStartsEnabledAndDrawsItsImage)
{
    for (const ButtonCase& c : kButtons) {
        SCOPED_TRACE(c.nId);
        CTavButtonCtrl* button = Button(c.nId);
        ASSERT_NE(button, nullptr);
        TavButtonRoleFlags expected{};
        expected[static_cast<std::size_t>(c.role)] = true;
        EXPECT_EQ(button->Roles(), expected);
        EXPECT_TRUE(button->isEnabled());
        EXPECT_TRUE(button->EnabledFlag());
        EXPECT_EQ(button->ImageName().toStdString(), c.image);
        EXPECT_FALSE(button->autoDefault());

        // The skin image, stretched over the whole button: corners and middle.
        const QImage painted = button->grab().toImage();
        ASSERT_EQ(painted.size(), button->size());
        const QPoint probes[] = {{0, 0},
                                 {painted.width() - 1, painted.height() - 1},
                                 {painted.width() / 2, painted.height() / 2}};
        for (const QPoint& probe : probes) {
            EXPECT_EQ(QColor(painted.pixel(probe)).name().toStdString(),
                      QColor(c.color).name().toStdString())
                << probe.x() << "," << probe.y();
        }
    }
}

// Up, Down and Delete tell the main window of their press as well; nothing handles those
// messages, and the list is not touched by them.
TEST_F(Buttons, UpDownAndDeletePostTheirPressMessagesToTheMainWindow)
{
    AddEntries({1.0, 2.0});
    List()->SetSelectionMark(-1);
    for (const int nId : {1007, 1011, 1010}) {
        ClickButton(nId);
    }
    QCoreApplication::sendPostedEvents(&m_main, CAppMessageEvent::EventType());
    EXPECT_EQ(m_main.Sent(),
              (Numbers{WM_MOVE_UP_PRESSED, WM_MOVE_DOWN_PRESSED, WM_DELETE_PRESSED}));
    EXPECT_EQ(Column(0), (Texts{"clip0", "clip1"}));
}

} // namespace
