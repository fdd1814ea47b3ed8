#include "resources/SourceChooserDialog.h"

#include <array>

namespace res {
namespace {

using enum ControlClass;

constexpr std::array kControls{
    ControlTemplate{IDOK, DefPushButton, "OK", {115, 57, 50, 16}},
    ControlTemplate{IDCANCEL, PushButton, "Cancel", {42, 57, 50, 16}},
    ControlTemplate{IDC_DEVICE_LIST, ComboBox, "", {17, 26, 173, 18}},
    ControlTemplate{IDC_DEVICE_GROUP, GroupBox, "Input Devices", {7, 7, 194, 43}},
};

constexpr DialogTemplate kDialog{IDD_SOURCE_CHOOSER, "Choose Video Source", 208, 80, 8, kControls};

} // namespace
} // namespace res

const res::DialogTemplate& SourceChooserDialogTemplate()
{
    return res::kDialog;
}
