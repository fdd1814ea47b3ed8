#pragma once

#include <QDialog>

// The About box (dialog 100): the icon, the version line, a second line and OK.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
