#include "resources/ControlTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace res {

QSize DialogBaseUnits(const QFont& font)
{
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(letters);
    return {(width / 26 + 1) / 2, metrics.height()};
}

QSize DialogUnitsToPixels(int cx, int cy, const QFont& font)
{
    const QSize base = DialogBaseUnits(font);
    // Rounded like the platform's MulDiv.
    const auto scale = [](int units, int base, int divisor) {
        return static_cast<int>((static_cast<long long>(units) * base * 2 + divisor) /
                                (2 * divisor));
    };
    return {scale(cx, base.width(), 4), scale(cy, base.height(), 8)};
}

QRect DialogUnitsToPixels(const DlgUnitRect& rc, const QFont& font)
{
    const QSize topLeft = DialogUnitsToPixels(rc.x, rc.y, font);
    const QSize size = DialogUnitsToPixels(rc.cx, rc.cy, font);
    return {topLeft.width(), topLeft.height(), size.width(), size.height()};
}

const ControlTemplate* FindTemplate(const DialogTemplate& dialog, int nId)
{
    for (const ControlTemplate& row : dialog.controls) {
        if (row.nId == nId) {
            return &row;
        }
    }
    return nullptr;
}

void BindControl(QWidget* widget, const ControlTemplate& row)
{
    widget->setProperty(kControlIdProperty, row.nId);
    widget->setObjectName(QString::number(row.nId));
    const QString text = QString::fromUtf8(row.pszText);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && !text.isEmpty()) {
        label->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
    }
    widget->setGeometry(DialogUnitsToPixels(row.rc, widget->font()));
    if (!row.bVisible) {
        widget->hide();
    }
}

QFont DialogFont(const DialogTemplate& dialog)
{
    QFont font = QApplication::font();
    font.setPointSize(dialog.nPointSize);
    return font;
}

QWidget* FindControl(const QWidget* dialog, int nId)
{
    const auto children = dialog->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QVariant id = child->property(kControlIdProperty);
        if (id.isValid() && id.toInt() == nId) {
            return child;
        }
    }
    return nullptr;
}

} // namespace res
