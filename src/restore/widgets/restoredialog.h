#pragma once

#include "appearance/skinvalues.h"
#include "fileops/widgets/filework.h"
#include "platform/prompter.h"

#include <QDialog>

#include <memory>

class QCheckBox;

namespace Ui {
class RestoreDialog;
}

namespace zq2 {

// Copies chosen groups of game files from the game CD back into the game folder. Created for one
// opening and discarded when it closes; a run that stops early leaves it open with its ticks. The
// copying runs off the window's thread: meanwhile the dialog draws and its Cancel (or the close
// box, or Escape) stops the run at once, keeping the files copied before, and closes the dialog.
class RestoreDialog : public QDialog {
    Q_OBJECT

public:
    RestoreDialog(const QString& gameDir, const QString& cdResourceDir, Prompter& prompter,
                  const SkinValues& skin, QWidget* parent = nullptr);
    ~RestoreDialog() override;

protected:
    void reject() override;

private:
    void Form_Load();
    void Command2_Click();
    void Command1_Click();
    static bool Chked(const QCheckBox* box);

    std::unique_ptr<Ui::RestoreDialog> ui_;
    QString gameDir_;
    QString cdResourceDir_;
    Prompter& prompter_;
    SkinValues skin_;
    FileWork work_;
    bool closeAfterRun_ = false;
};

} // namespace zq2
