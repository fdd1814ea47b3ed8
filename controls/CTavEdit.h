#pragma once

#include <QLineEdit>

// The find box of the playlist window. Enter in it neither triggers a button of the window nor
// closes it: the key is swallowed here after WM_FIND_ENTER has been sent to the main window,
// which has no handler for it.
class CTavEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CTavEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
