#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <span>

class QFont;
class QStyle;

namespace res {

// Dialog templates as tables: each dialog lists its controls with their numeric IDs, classes,
// texts and geometry in dialog units.
//
// Naming scheme of the controls built from a table: every control carries its numeric ID in the
// dynamic property "controlId" (an int) and as its objectName, in decimal ("1001" for Play), the
// same scheme in every window. Code and tests find a control by it (FindControl below).

enum class ControlClass
{
    PushButton,
    DefPushButton,
    SkinnedButton, // an owner-drawn push button that paints itself from skin images
    CheckBox,
    RadioButton, // checked automatically, one of its group at a time
    GroupBox,
    Static,     // text
    StaticIcon, // the application icon
    Edit,       // one line of text
    Trackbar,
    ProgressBar,
    ListView, // rows of columns with a small picture each
    ComboBox, // an editable drop-down list kept in alphabetical order
    Panel,    // a frame that other code draws into (the video panel)
};

// A rectangle in dialog units: x, y, width, height.
struct DlgUnitRect
{
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct ControlTemplate
{
    int nId;
    ControlClass kind;
    const char* pszText; // UTF-8; empty when the control has no text
    DlgUnitRect rc;
    bool bVisible = true; // a control the template marks hidden starts hidden
};

struct DialogTemplate
{
    int nId;
    const char* pszTitle; // UTF-8
    int cx;               // size in dialog units
    int cy;
    int nPointSize; // of the dialog font: the platform's dialog font family at this size
    std::span<const ControlTemplate> controls;
};

inline constexpr char kControlIdProperty[] = "controlId";

// Horizontal and vertical dialog base units of a font: the average width of the letters a-z and
// A-Z, rounded, and the font's line height. One dialog unit is a quarter of the first and an
// eighth of the second, as on the platform the templates were designed for.
QSize DialogBaseUnits(const QFont& font);
QRect DialogUnitsToPixels(const DlgUnitRect& rc, const QFont& font);
QSize DialogUnitsToPixels(int cx, int cy, const QFont& font);

// The row of the table with that ID, or null.
const ControlTemplate* FindTemplate(const DialogTemplate& dialog, int nId);

// Gives the widget the row's ID (property and object name), text (buttons, labels, group boxes),
// geometry converted from dialog units with the widget's font, and hides it when the row says so.
void BindControl(QWidget* widget, const ControlTemplate& row);

// The dialog font at the template's point size: a face whose base units the templates were laid
// out for (6 x 13 pixels at 8 points).
QFont DialogFont(const DialogTemplate& dialog);

// The style of the check boxes and radio buttons built from the tables: a 13-pixel indicator and
// a 3-pixel gap before the text.
QStyle* IndicatorButtonStyle();

// The descendant of the dialog that carries this control ID, or null.
QWidget* FindControl(const QWidget* dialog, int nId);

// The same, as the control's class; null also when the control is of another class.
template <class Control>
Control* FindControl(const QWidget* dialog, int nId)
{
    return qobject_cast<Control*>(FindControl(dialog, nId));
}

} // namespace res
