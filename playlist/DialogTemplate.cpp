#include "playlist/DialogTemplate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QWidget>

namespace {

// The platform's classic way of finding a font's average character width.
const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

} // namespace

CDialogUnits::CDialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    m_nBaseX = (metrics.horizontalAdvance(kAlphabet) / 26 + 1) / 2;
    m_nBaseY = metrics.height();
}

QRect CDialogUnits::ToPixels(const QRect& units) const
{
    const int left = units.x() * m_nBaseX / 4;
    const int top = units.y() * m_nBaseY / 8;
    const int right = (units.x() + units.width()) * m_nBaseX / 4;
    const int bottom = (units.y() + units.height()) * m_nBaseY / 8;
    return QRect(left, top, right - left, bottom - top);
}

QSize CDialogUnits::ToPixels(const QSize& units) const
{
    return QSize(units.width() * m_nBaseX / 4, units.height() * m_nBaseY / 8);
}

QFont DialogFont(const DialogTemplate& dialog)
{
    QFont font = QApplication::font();
    font.setPointSize(dialog.nPointSize);
    return font;
}

void SetControlId(QWidget* control, int nId)
{
    control->setObjectName(QString::number(nId));
    control->setProperty("controlId", nId);
}

QWidget* FindControl(const QWidget* window, int nId)
{
    return window->findChild<QWidget*>(QString::number(nId), Qt::FindDirectChildrenOnly);
}
