#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Every question the program puts to the user goes through here: message boxes, file dialogs and
// the folder browser. In normal runs each shows the real dialog. Tests queue the answers instead
// (a person would otherwise have to click), and read back what was asked.
class CUserDialogs
{
public:
    // A message box; returns the button pressed.
    static QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& text,
                                                  const QString& caption,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::Icon icon = QMessageBox::NoIcon);

    // File dialogs. Filters are given in the classic "desc|patterns|desc|patterns||" form; the
    // patterns match whatever the letter case of the name. An empty result means cancelled.
    static QString GetOpenFileName(QWidget* parent, const QString& filter);
    static QStringList GetOpenFileNames(QWidget* parent, const QString& filter);
    // selectedFilter receives the 0-based index of the filter the user chose.
    static QString GetSaveFileName(QWidget* parent, const QString& filter,
                                   int* selectedFilter = nullptr);
    static QString GetExistingDirectory(QWidget* parent, const QString& caption);

    // "desc|patterns|...||" to Qt's "desc (patterns);;..." with case-blind patterns.
    static QStringList QtFilters(const QString& filter);

    // Test seam. While answers are queued no dialog is shown: each call takes the next answer of
    // its kind (a file-name answer of "" is a cancel; several names are separated by '\n').
    // whileOpen runs where the box's own event loop would (a test spins the loop in it, so that
    // what happens behind an open box happens) before the answer is given.
    static void SetNextAnswer(QMessageBox::StandardButton button,
                              std::function<void()> whileOpen = {});
    static void SetNextFileName(const QString& name, int selectedFilter = 0);
    // The texts of the message boxes asked so far ("caption: text"), oldest first; clears them.
    static QStringList TakeAskedTexts();
    // Drops queued answers and the record.
    static void Reset();
};
