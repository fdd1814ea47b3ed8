#include "app/CAboutDlg.h"

#include "resources/AboutDialog.h"
#include "resources/AppIcon.h"

#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    const res::DialogTemplate& dialog = AboutDialogTemplate();
    setFont(res::DialogFont(dialog));
    setWindowTitle(QString::fromUtf8(dialog.pszTitle));
    setFixedSize(res::DialogUnitsToPixels(dialog.cx, dialog.cy, font()));
    for (const res::ControlTemplate& row : dialog.controls) {
        switch (row.kind) {
        case res::ControlClass::StaticIcon: {
            auto* icon = new QLabel(this);
            icon->setPixmap(LoadAppIcon().pixmap(32, 32));
            res::BindControl(icon, row);
            // An icon control takes the icon's own size.
            icon->resize(32, 32);
            break;
        }
        case res::ControlClass::DefPushButton: {
            auto* button = new QPushButton(this);
            res::BindControl(button, row);
            button->setDefault(true);
            connect(button, &QPushButton::clicked, this, &QDialog::accept);
            break;
        }
        default:
            res::BindControl(new QLabel(this), row);
            break;
        }
    }
}
