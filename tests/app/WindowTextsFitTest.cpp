// The dialog font against the fixed sizes of both windows: every text fits its control, measured
// with the font and style the control really draws with; the skinned buttons of the playlist
// window have the sizes of their images.

#include "MainWindowFixture.h"
#include "controls/CTavButtonCtrl.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A control's text and the room its style gives it; no text for controls without one.
std::pair<QString, QRect> TextAndRoom(QWidget* control)
{
    QStyle* style = control->style();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QStyle::SubElement element =
            qobject_cast<QRadioButton*>(control) ? QStyle::SE_RadioButtonContents
            : qobject_cast<QCheckBox*>(control)  ? QStyle::SE_CheckBoxContents
                                                 : QStyle::SE_PushButtonContents;
        return {button->text(), style->subElementRect(element, &option, control)};
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return {label->text(), label->contentsRect()};
    }
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        // The title may run up to the frame's right edge, its inner margins kept.
        QRect room =
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        room.setRight(group->width() - 1 - room.left());
        return {group->title(), room};
    }
    return {};
}

} // namespace

TEST_F(MainWindowTest, EveryTextOfBothWindowsFitsItsControlInTheDialogFont)
{
    CPlayList* playList = PlayList();
    Dlg().LayoutControls(); // the strip at its normal size
    std::vector<std::string> measured;
    for (QWidget* window : {static_cast<QWidget*>(&Dlg()), static_cast<QWidget*>(playList)}) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            // The playlist window's skinned buttons show their images undistorted instead.
            if (auto* button = qobject_cast<CTavButtonCtrl*>(control)) {
                if (window == playList) {
                    EXPECT_EQ(button->size(), QImage(button->ImagePath()).size())
                        << button->ImagePath().toStdString();
                }
                continue;
            }
            const auto [strText, room] = TextAndRoom(control);
            if (strText.isEmpty() || control->window() != window ||
                !control->property(res::kControlIdProperty).isValid()) {
                continue;
            }
            SCOPED_TRACE(strText.toStdString());
            const QFontMetrics metrics(control->font());
            EXPECT_GE(room.width(), metrics.horizontalAdvance(strText)) << "clipped";
            EXPECT_GE(room.height(), metrics.height()) << "cut off at the bottom";
            measured.push_back(strText.toStdString());
        }
    }
    std::sort(measured.begin(), measured.end());
    EXPECT_EQ(measured, (std::vector<std::string>{"00:00:00", "Controls", "File Name", "Find",
                                                  "Next", "Path", "Play List", "Show", "Tag"}));
}
