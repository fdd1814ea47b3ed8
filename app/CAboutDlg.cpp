#include "app/CAboutDlg.h"

#include "resources/AboutDialog.h"
#include "resources/AppIcon.h"

#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    const DialogTemplate& dialog = AboutDialogTemplate();
    setWindowTitle(QString::fromUtf8(dialog.pszTitle));
    setFixedSize(DialogUnitsToPixels(dialog.cx, dialog.cy, font()));
    for (const ControlTemplate& row : dialog.controls) {
        switch (row.kind) {
        case ControlClass::StaticIcon: {
            auto* icon = new QLabel(this);
            icon->setPixmap(LoadAppIcon().pixmap(32, 32));
            BindControl(icon, row);
            // An icon control takes the icon's own size.
            icon->resize(32, 32);
            break;
        }
        case ControlClass::DefPushButton: {
            auto* button = new QPushButton(this);
            BindControl(button, row);
            button->setDefault(true);
            connect(button, &QPushButton::clicked, this, &QDialog::accept);
            break;
        }
        default:
            BindControl(new QLabel(this), row);
            break;
        }
    }
}
