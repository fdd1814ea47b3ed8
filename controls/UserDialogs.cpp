#include "controls/UserDialogs.h"

#include <QFileDialog>

#include <deque>
#include <functional>

namespace {

struct FileAnswer
{
    QString name;
    int selectedFilter = 0;
};

// Queued answers of the test seam; UI thread only.
// A queued answer, and what happens while the box would be open before it is given.
struct ButtonAnswer
{
    QMessageBox::StandardButton button = QMessageBox::NoButton;
    std::function<void()> whileOpen;
};

std::deque<ButtonAnswer> g_nextButtons;
std::deque<FileAnswer> g_nextFileNames;
QStringList g_askedTexts;

// "*.avi" -> "*.[aA][vV][iI]": file dialogs match patterns case-sensitively on this platform.
QString CaseBlindPattern(const QString& pattern)
{
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            result += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        } else {
            result += c;
        }
    }
    return result;
}

// The dialogs show each filter's description as the program wrote it; the case-blind patterns
// behind it only do the matching.
constexpr QFileDialog::Options kDialogOptions = QFileDialog::HideNameFilterDetails;

bool TakeFileAnswer(FileAnswer* answer)
{
    if (g_nextFileNames.empty()) {
        return false;
    }
    *answer = g_nextFileNames.front();
    g_nextFileNames.pop_front();
    return true;
}

} // namespace

QMessageBox::StandardButton CUserDialogs::MessageBox(QWidget* parent, const QString& text,
                                                     const QString& caption,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::Icon icon)
{
    g_askedTexts.append(caption + QStringLiteral(": ") + text);
    if (!g_nextButtons.empty()) {
        const ButtonAnswer answer = std::move(g_nextButtons.front());
        g_nextButtons.pop_front();
        if (answer.whileOpen) {
            answer.whileOpen();
        }
        return answer.button;
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QStringList CUserDialogs::QtFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) {
            break; // the closing "||"
        }
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = p.trimmed();
            patterns.append(trimmed == QStringLiteral("*.*") ? QStringLiteral("*")
                                                             : CaseBlindPattern(trimmed));
        }
        // Qt reads the patterns from the last parentheses of a filter; a description that
        // already names them keeps its own text in front.
        result.append(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')'));
    }
    return result;
}

QString CUserDialogs::GetOpenFileName(QWidget* parent, const QString& filter)
{
    FileAnswer answer;
    if (TakeFileAnswer(&answer)) {
        return answer.name;
    }
    return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                        QtFilters(filter).join(QStringLiteral(";;")), nullptr,
                                        kDialogOptions);
}

QStringList CUserDialogs::GetOpenFileNames(QWidget* parent, const QString& filter)
{
    FileAnswer answer;
    if (TakeFileAnswer(&answer)) {
        return answer.name.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    return QFileDialog::getOpenFileNames(parent, QString(), QString(),
                                         QtFilters(filter).join(QStringLiteral(";;")), nullptr,
                                         kDialogOptions);
}

QString CUserDialogs::GetSaveFileName(QWidget* parent, const QString& filter, int* selectedFilter)
{
    FileAnswer answer;
    if (TakeFileAnswer(&answer)) {
        if (selectedFilter != nullptr) {
            *selectedFilter = answer.selectedFilter;
        }
        return answer.name;
    }
    const QStringList filters = QtFilters(filter);
    QString chosen;
    const QString name = QFileDialog::getSaveFileName(
        parent, QString(), QString(), filters.join(QStringLiteral(";;")), &chosen, kDialogOptions);
    if (selectedFilter != nullptr) {
        // The chosen filter comes back whole or as the description shown.
        qsizetype nChosen = filters.indexOf(chosen);
        if (nChosen < 0) {
            const QStringList parts = filter.split(QLatin1Char('|'));
            for (qsizetype i = 0; 2 * i < parts.size() && nChosen < 0; ++i) {
                if (parts[2 * i].simplified() == chosen.simplified()) {
                    nChosen = i;
                }
            }
        }
        *selectedFilter = std::max<int>(0, static_cast<int>(nChosen));
    }
    return name;
}

QString CUserDialogs::GetExistingDirectory(QWidget* parent, const QString& caption)
{
    FileAnswer answer;
    if (TakeFileAnswer(&answer)) {
        return answer.name;
    }
    return QFileDialog::getExistingDirectory(parent, caption);
}

void CUserDialogs::SetNextAnswer(QMessageBox::StandardButton button,
                                 std::function<void()> whileOpen)
{
    g_nextButtons.push_back({button, std::move(whileOpen)});
}

void CUserDialogs::SetNextFileName(const QString& name, int selectedFilter)
{
    g_nextFileNames.push_back({name, selectedFilter});
}

QStringList CUserDialogs::TakeAskedTexts()
{
    QStringList texts;
    texts.swap(g_askedTexts);
    return texts;
}

void CUserDialogs::Reset()
{
    g_nextButtons.clear();
    g_nextFileNames.clear();
    g_askedTexts.clear();
}
