#include "resources/MainDialog.h"

#include <array>

namespace res {
namespace {

constexpr std::array kControls{
    ControlTemplate{IDC_GROUP_CONTROLS, ControlClass::GroupBox, "Controls", {7, 224, 508, 36}},
    ControlTemplate{IDC_CHECK_PLAYLIST, ControlClass::CheckBox, "Play List", {14, 238, 40, 14}},
    ControlTemplate{IDC_OPEN, ControlClass::SkinnedButton, "Open", {58, 236, 21, 16}},
    ControlTemplate{IDC_PREV, ControlClass::SkinnedButton, "Prev", {82, 236, 21, 16}},
    ControlTemplate{IDC_PLAY, ControlClass::SkinnedButton, "Play", {106, 236, 21, 16}},
    ControlTemplate{IDC_NEXT, ControlClass::SkinnedButton, "Next", {130, 236, 21, 16}},
    ControlTemplate{IDC_VIDEO_IN, ControlClass::SkinnedButton, "Video In", {154, 236, 21, 16}},
    ControlTemplate{IDC_STOP, ControlClass::SkinnedButton, "Stop", {178, 236, 21, 16}},
    ControlTemplate{IDC_DELETE_FILE, ControlClass::SkinnedButton, "delete", {202, 236, 21, 16}},
    ControlTemplate{IDC_COMPACT, ControlClass::SkinnedButton, "Compact", {226, 236, 21, 16}},
    ControlTemplate{IDC_SLIDER_POSITION, ControlClass::Trackbar, "", {252, 238, 80, 12}},
    ControlTemplate{IDC_STATIC_TIME, ControlClass::Static, "00:00:00", {336, 240, 34, 10}},
    ControlTemplate{IDC_SLIDER_VOLUME, ControlClass::Trackbar, "", {376, 238, 34, 12}},
    ControlTemplate{IDC_VIDEO_PANEL, ControlClass::Panel, "", {0, 0, 522, 222}},
};

constexpr DialogTemplate kDialog{IDD_TAVVIDEO_DIALOG, "Vessa Video Player", 522, 266, 8, kControls};

} // namespace
} // namespace res

const res::DialogTemplate& MainDialogTemplate()
{
    return res::kDialog;
}
