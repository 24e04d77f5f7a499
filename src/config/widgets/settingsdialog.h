#pragma once

#include "config/settingsfile.h"
#include "platform/programfolders.h"

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class SettingsDialog;
}

namespace zq2 {

class Prompter;

// Where the game and the CD drive are. Writes settings.ini on OK and nothing else; the caller reads
// the file again after the dialog has closed.
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(const ProgramFolders& folders, Prompter& prompter, const QString& skinPicture,
                   QWidget* parent = nullptr);
    ~SettingsDialog() override;

    void Form_Load();
    void zq2Browse_Click();
    void OKbtn_Click();
    void CancelBtn_Click();

private:
    std::unique_ptr<Ui::SettingsDialog> ui_;
    ProgramFolders folders_;
    Prompter& prompter_;
    QString skinPicture_;
    SettingsDialogStart start_; // what the boxes stand for: the file as opened, or the folder browsed to
};

} // namespace zq2
