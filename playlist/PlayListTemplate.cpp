#include "playlist/PlayListTemplate.h"

namespace {

using enum ControlClass;

// In template order, which is also the stacking and tab order.
constexpr ControlTemplate kControls[] = {
    {IDC_PLAYLIST, ListView, "", {7, 41, 334, 121}, ""},
    {IDC_MOVEUP, SkinnedButton, "Up", {114, 166, 24, 16}, "moveUp"},
    {IDC_ADDFILE, SkinnedButton, "+ File", {20, 166, 27, 16}, "addFile"},
    {IDC_ADDFOLDER, SkinnedButton, "+ Folder", {64, 166, 33, 16}, "addFolder"},
    {IDC_DELETE, SkinnedButton, "Delete", {199, 166, 30, 16}, "delete"},
    {IDC_MOVEDOWN, SkinnedButton, "Down", {155, 166, 27, 16}, "moveDown"},
    {IDC_SCANPROGRESS, ProgressBar, "", {7, 170, 334, 12}, "", false},
    {IDC_FINDTEXT, Edit, "", {159, 18, 131, 14}, ""},
    {IDC_SAVE, SkinnedButton, "Save", {301, 166, 24, 16}, "save"},
    {IDC_SHOWGROUP, GroupBox, "Show", {7, 7, 138, 30}, ""},
    {IDC_DELETEALL, SkinnedButton, "Delete All", {246, 166, 38, 16}, "deleteAll"},
    {IDC_SHOWFILENAME, RadioButton, "File Name", {18, 18, 43, 11}, ""},
    {IDC_SHOWPATH, RadioButton, "Path", {68, 18, 34, 11}, ""},
    {IDC_SHOWTAG, RadioButton, "Tag", {109, 18, 27, 11}, ""},
    {IDC_FINDGROUP, GroupBox, "Find", {153, 7, 188, 30}, ""},
    {IDC_FINDNEXT, PushButton, "Next", {298, 18, 33, 12}, ""},
};

constexpr DialogTemplate kPlayList = {IDD_PLAYLIST, "Dialog", {348, 190}, 8, kControls};

} // namespace

const DialogTemplate& PlayListTemplate()
{
    return kPlayList;
}
