#pragma once

#include "appearance/skinvalues.h"

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class PrefsDialog;
}

namespace zq2 {

class Prompter;

// The optional choices kept in preferences.ini: skin, tooltips, warnings and the file-type patterns.
// Reads the file when it opens and writes it on OK; the main window reads it again afterwards.
class PrefsDialog : public QDialog {
    Q_OBJECT

public:
    PrefsDialog(const QString& configDir, Prompter& prompter, const SkinValues& skin,
                QWidget* parent = nullptr);
    ~PrefsDialog() override;

    void Form_Load();
    void addExt_Click();
    void removeExt_Click();
    void Command5_Click();
    void Command4_Click();
    void useSkin_Click();
    void browseSkin_Click();

private:
    std::unique_ptr<Ui::PrefsDialog> ui_;
    QString configDir_;
    Prompter& prompter_;
    SkinValues skin_;
    // The skin path as read or browsed to, which the box may only be able to show with U+FFFD.
    QString skinPath_;
    bool leaveFileAlone_ = false; // the file is too large to read whole, so OK must not write over it
};

} // namespace zq2
