#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include <span>

class QWidget;

// A window described as a control table: what its template says, in dialog units. A dialog unit
// is a quarter of the dialog font's average character width across and an eighth of its height
// down, so a window keeps its proportions with whatever font it gets.

enum class ControlClass
{
    ListView,
    SkinnedButton,
    ProgressBar,
    Edit,
    GroupBox,
    RadioButton,
    PushButton,
};

struct ControlTemplate
{
    int nId;
    ControlClass kind;
    const char* text;
    QRect rcUnits;        // x, y, width, height in dialog units
    const char* role;     // the skin role of a skinned button, else empty
    bool bVisible = true; // hidden controls start hidden
};

struct DialogTemplate
{
    int nId;
    const char* caption;
    QSize sizeUnits; // the client area in dialog units
    int nPointSize;  // the dialog font's size; its family is the desktop's sans-serif font
    std::span<const ControlTemplate> controls;
};

// Converts dialog units of one font to pixels.
class CDialogUnits
{
public:
    explicit CDialogUnits(const QFont& font);

    QRect ToPixels(const QRect& units) const;
    QSize ToPixels(const QSize& units) const;
    int BaseX() const { return m_nBaseX; }
    int BaseY() const { return m_nBaseY; }

private:
    int m_nBaseX;
    int m_nBaseY;
};

// The dialog font of a template: the application's font family at the template's size.
QFont DialogFont(const DialogTemplate& dialog);

// Every control carries its numeric ID as its object name and as the "controlId" property, so
// windows bind their members and tests find controls by the numbers of the template.
void SetControlId(QWidget* control, int nId);
QWidget* FindControl(const QWidget* window, int nId);

template <class Control>
Control* FindControl(const QWidget* window, int nId)
{
    return qobject_cast<Control*>(FindControl(window, nId));
}
