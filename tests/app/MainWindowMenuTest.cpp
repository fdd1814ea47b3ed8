// The window menu with its About entry, and the About box it opens.

#include "MainWindowFixture.h"
#include "resources/AboutDialog.h"
#include "resources/MainDialog.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

struct AboutBoxSeen
{
    bool bSeen = false;
    QString strTitle;
    QString strVersion;
    QString strLine2;
    bool bOkIsDefault = false;
    QSize size;
};

// Reads the About box once it runs modally and closes it with its OK button.
void AnswerAboutBox(AboutBoxSeen* seen)
{
    QTimer::singleShot(0, [seen] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr || qobject_cast<CTavVideoDlg*>(box) != nullptr) {
            return;
        }
        seen->bSeen = true;
        seen->strTitle = box->windowTitle();
        seen->size = box->size();
        if (auto* version = qobject_cast<QLabel*>(res::FindControl(box, IDC_ABOUT_VERSION))) {
            seen->strVersion = version->text();
        }
        if (auto* line2 = qobject_cast<QLabel*>(res::FindControl(box, IDC_ABOUT_LINE2))) {
            seen->strLine2 = line2->text();
        }
        if (auto* ok = qobject_cast<QPushButton*>(res::FindControl(box, IDOK))) {
            seen->bOkIsDefault = ok->isDefault();
            ok->click();
        } else {
            box->close();
        }
    });
}

} // namespace

TEST_F(MainWindowTest, RightClickOpensTheWindowMenuWithTheAboutEntry)
{
    QWidget* panel = Control(IDC_VIDEO_PANEL);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                            panel->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(panel, &event);

    QMenu* menu = Dlg().SystemMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000));
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_TRUE(actions[0]->isSeparator());
    EXPECT_EQ(actions[1]->text(), QStringLiteral("&About TavVideo..."));
    menu->hide();
}

TEST_F(MainWindowTest, TheAboutEntryShowsTheAboutBox)
{
    QMenu* menu = Dlg().SystemMenu();
    ASSERT_NE(menu, nullptr);
    AboutBoxSeen seen;
    AnswerAboutBox(&seen);
    menu->actions().at(1)->trigger(); // returns once the box is closed

    ASSERT_TRUE(seen.bSeen);
    EXPECT_EQ(seen.strTitle, QStringLiteral("About Vessa Video Player"));
    EXPECT_EQ(seen.strVersion, QStringLiteral("Vessa Video Player Version 1.0.6"));
    EXPECT_FALSE(seen.strLine2.isEmpty());
    EXPECT_TRUE(seen.bOkIsDefault);
    EXPECT_EQ(seen.size, res::DialogUnitsToPixels(235, 55, Dlg().font()));
    EXPECT_TRUE(Dlg().isVisible());
}

TEST(DialogUnits, ConvertWithTheFontsAverageLetterWidthAndHeight)
{
    const QFont font = QApplication::font();
    const QSize base = res::DialogBaseUnits(font);
    ASSERT_GT(base.width(), 0);
    ASSERT_GT(base.height(), 0);
    // 4 horizontal units are one average letter, 8 vertical units one line.
    EXPECT_EQ(res::DialogUnitsToPixels(4, 8, font), base);
    EXPECT_EQ(res::DialogUnitsToPixels(400, 800, font),
              QSize(base.width() * 100, base.height() * 100));
    EXPECT_EQ(res::DialogUnitsToPixels(res::DlgUnitRect{8, 16, 2, 4}, font),
              QRect(base.width() * 2, base.height() * 2, (base.width() + 1) / 2,
                    (base.height() + 1) / 2));
}
