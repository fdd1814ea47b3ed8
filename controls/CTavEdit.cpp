#include "controls/CTavEdit.h"

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/Globals.h"

#include <QKeyEvent>

CTavEdit::CTavEdit(QWidget* parent) : QLineEdit(parent) {}

void CTavEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Accepted, so the dialog never sees it as a press of its default button; not passed to
        // the line edit either, so nothing is searched.
        SendAppMessage(g_hMainWnd, WM_FIND_ENTER);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
