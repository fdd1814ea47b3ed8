#include "resources/ControlTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QProxyStyle>
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
    if (row.kind == ControlClass::CheckBox || row.kind == ControlClass::RadioButton) {
        widget->setStyle(IndicatorButtonStyle());
    }
    widget->setGeometry(DialogUnitsToPixels(row.rc, widget->font()));
    if (!row.bVisible) {
        widget->hide();
    }
}

QFont DialogFont(const DialogTemplate& dialog)
{
    // The templates' sizes were laid out for a dialog font whose base units are 6 x 13 pixels at
    // 8 points: their texts fit their controls, and the skin images have their buttons'
    // proportions, only with a font that narrow. The desktop's default sans face is about a sixth
    // wider and clips them ("Play Lis"); its condensed face has those units. The size is in
    // pixels at 96 dots per inch, as the layouts are in pixels whatever the screen says.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), font.family()});
    font.setPixelSize((dialog.nPointSize * 96 + 36) / 72);
    return font;
}

QStyle* IndicatorButtonStyle()
{
    // The check mark or dot, then the text after a small gap: the style's own gap of 6 pixels
    // leaves too little of a 60-pixel "Play List" box, or a 43-unit "File Name" button, for
    // their texts.
    class CIndicatorButtonStyle : public QProxyStyle
    {
    public:
        int pixelMetric(PixelMetric metric, const QStyleOption* option,
                        const QWidget* widget) const override
        {
            switch (metric) {
            case PM_IndicatorWidth:
            case PM_IndicatorHeight:
            case PM_ExclusiveIndicatorWidth:
            case PM_ExclusiveIndicatorHeight:
                return 13;
            case PM_CheckBoxLabelSpacing:
            case PM_RadioButtonLabelSpacing:
                return 3;
            default:
                return QProxyStyle::pixelMetric(metric, option, widget);
            }
        }
    };
    // One for the process, made on first use and owned by the application object.
    static QPointer<QStyle> style;
    if (style.isNull()) {
        style = new CIndicatorButtonStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
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
