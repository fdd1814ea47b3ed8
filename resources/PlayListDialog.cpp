#include "resources/PlayListDialog.h"

#include <array>

namespace res {
namespace {

using enum ControlClass;

// The progress bar lies over the button row and is shown only while a folder is scanned.
constexpr std::array kControls{
    ControlTemplate{IDC_PLAYLIST, ListView, "", {7, 41, 334, 121}},
    ControlTemplate{IDC_MOVEUP, SkinnedButton, "Up", {114, 166, 24, 16}},
    ControlTemplate{IDC_ADDFILE, SkinnedButton, "+ File", {20, 166, 27, 16}},
    ControlTemplate{IDC_ADDFOLDER, SkinnedButton, "+ Folder", {64, 166, 33, 16}},
    ControlTemplate{IDC_DELETE, SkinnedButton, "Delete", {199, 166, 30, 16}},
    ControlTemplate{IDC_MOVEDOWN, SkinnedButton, "Down", {155, 166, 27, 16}},
    ControlTemplate{IDC_SCANPROGRESS, ProgressBar, "", {7, 170, 334, 12}, false},
    ControlTemplate{IDC_FINDTEXT, Edit, "", {159, 18, 131, 14}},
    ControlTemplate{IDC_SAVE, SkinnedButton, "Save", {301, 166, 24, 16}},
    ControlTemplate{IDC_SHOWGROUP, GroupBox, "Show", {7, 7, 138, 30}},
    ControlTemplate{IDC_DELETEALL, SkinnedButton, "Delete All", {246, 166, 38, 16}},
    ControlTemplate{IDC_SHOWFILENAME, RadioButton, "File Name", {18, 18, 43, 11}},
    ControlTemplate{IDC_SHOWPATH, RadioButton, "Path", {68, 18, 34, 11}},
    ControlTemplate{IDC_SHOWTAG, RadioButton, "Tag", {109, 18, 27, 11}},
    ControlTemplate{IDC_FINDGROUP, GroupBox, "Find", {153, 7, 188, 30}},
    ControlTemplate{IDC_FINDNEXT, PushButton, "Next", {298, 18, 33, 12}},
};

constexpr DialogTemplate kDialog{IDD_PLAYLIST, "Dialog", 348, 190, 8, kControls};

} // namespace
} // namespace res

const res::DialogTemplate& PlayListDialogTemplate()
{
    return res::kDialog;
}
