#include "resources/AboutDialog.h"

#include <array>

namespace res {
namespace {

constexpr std::array kControls{
    ControlTemplate{IDC_ABOUT_ICON, ControlClass::StaticIcon, "", {11, 17, 21, 20}},
    ControlTemplate{IDC_ABOUT_VERSION,
                    ControlClass::Static,
                    "Vessa Video Player Version 1.0.6",
                    {40, 10, 119, 8}},
    ControlTemplate{IDC_ABOUT_LINE2,
                    ControlClass::Static,
                    "Plays video with Qt and GStreamer",
                    {40, 25, 119, 8}},
    ControlTemplate{IDOK, ControlClass::DefPushButton, "OK", {178, 7, 50, 16}},
};

constexpr DialogTemplate kDialog{IDD_ABOUTBOX, "About Vessa Video Player", 235, 55, 8, kControls};

} // namespace
} // namespace res

const res::DialogTemplate& AboutDialogTemplate()
{
    return res::kDialog;
}
