#pragma once

#include "controls/CTavButtonCtrlRoles.h"

#include <QIcon>
#include <QPushButton>
#include <QString>

class QMouseEvent;
class QPainter;

// The image push button of both windows. It draws itself from the PNG skin images beside the
// executable, chosen by its role and state (normal, selected while the left mouse button is held
// on it, disabled). Some roles also post an application message to the main window when the mouse
// button goes down or up, so that Next and Prev act on press; every button still emits clicked()
// like any push button.
//
// The owner sets one role (SetRole) before the window is shown and, for the roles that have a
// disabled look, the enabled state with EnableButton. Changing the role later (the Compact button
// does) repaints the button by itself.
class CTavButtonCtrl : public QPushButton
{
    Q_OBJECT

public:
    explicit CTavButtonCtrl(QWidget* parent = nullptr);

    void SetRole(TavButtonRole role, bool on = true);
    bool HasRole(TavButtonRole role) const;

    // Chooses between the two image pairs of the power role.
    void SetPowerOn(bool on);
    bool IsPowerOn() const { return m_bPowerOn; }

    // The button's own copy of its enabled state, which picks the disabled image of the roles
    // that have one. It starts false, and the widget only reports real changes of its enabled
    // state, so an owner that enables an already enabled button sets the flag itself:
    // EnableButton does both steps.
    void EnableButton(bool enabled);
    void SetEnabledFlag(bool enabled);
    bool EnabledFlag() const { return m_bEnabled; }

    // True from left-button-down to left-button-up.
    bool IsSelected() const { return m_bSelected; }

    // Icon mode draws the given icon at 16 x 16 pixels in the middle of the button instead of a
    // skin image. No window of the player uses it.
    void SetIconMode(int iconId, const QIcon& icon);
    bool IsIconMode() const { return m_bIconMode; }
    int IconId() const { return m_nIconId; }

    // The skin file the next paint loads (empty when no role is set), and its full path.
    QString ImageName() const;
    QString ImagePath() const;

    // The folder the skin images are read from: the executable's folder.
    static QString SkinFolder();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void DrawItem(QPainter& painter);
    void DrawIcon(QPainter& painter);
    void OnLButtonDown(QMouseEvent* event);
    void OnLButtonUp(QMouseEvent* event);
    void OnLButtonDblClk(QMouseEvent* event);
    void OnEnable();
    QColor FaceColor() const;

    int m_nIconId = -1;
    TavButtonRoleFlags m_bRoles{};
    bool m_bIconMode = false;
    bool m_bSelected = false;
    bool m_bPowerOn = false;
    bool m_bEnabled = false;
};
