#include "platform/widgets/qtprompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace zq2 {

Answer QtPrompter::ask(const QString& text, Buttons buttons, const QString& title) {
    QWidget* parent = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    // Names and titles come from files: show them as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    // Block only the window that asks, so the help beside the program stays usable.
    if (parent)
        box.setWindowModality(Qt::WindowModal);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case Buttons::YesAllNoAllCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No |
                               QMessageBox::NoToAll | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    const int result = box.exec();
    switch (result) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::YesToAll:
        return Answer::YesToAll;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::NoToAll:
        return Answer::NoToAll;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

QString QtPrompter::toQtFilter(const QString& filter) {
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    const QString description = bar < 0 ? filter : filter.left(bar);
    const QString patterns = bar < 0 ? filter : filter.mid(bar + 1);
    QStringList caseless;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString glob;
        for (const QChar c : pattern) {
            if (c.isLetter() && c.toLower() != c.toUpper())
                glob += QLatin1Char('[') + c.toUpper() + c.toLower() + QLatin1Char(']');
            else
                glob += c;
        }
        caseless << glob;
    }
    return description + QStringLiteral(" (") + caseless.join(QLatin1Char(' ')) + QLatin1Char(')');
}

std::optional<QString> QtPrompter::openFile(const QString& title, const QString& filter) {
    QWidget* parent = QApplication::activeWindow();
    QFileDialog dialog(parent, title);
    if (parent)
        dialog.setWindowModality(Qt::WindowModal);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    // The patterns are spelt out for matching regardless of letter case; the user sees only the
    // description.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilter(toQtFilter(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace zq2
