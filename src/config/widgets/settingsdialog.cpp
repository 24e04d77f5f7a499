#include "config/widgets/settingsdialog.h"

#include "ui_settingsdialog.h"

#include "appearance/widgets/skinning.h"
#include "config/settingsfile.h"
#include "platform/fileerror.h"
#include "platform/filenames.h"
#include "platform/paths.h"
#include "platform/prompter.h"

namespace zq2 {

SettingsDialog::SettingsDialog(const ProgramFolders& folders, Prompter& prompter, const QString& skinPicture,
                               QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::SettingsDialog>())
    , folders_(folders)
    , prompter_(prompter)
    , skinPicture_(skinPicture) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(281, 295);

    connect(ui_->zq2Browse, &QPushButton::clicked, this, &SettingsDialog::zq2Browse_Click);
    connect(ui_->OKbtn, &QPushButton::clicked, this, &SettingsDialog::OKbtn_Click);
    connect(ui_->CancelBtn, &QPushButton::clicked, this, &SettingsDialog::CancelBtn_Click);

    Form_Load();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::Form_Load() {
    start_ = settingsDialogStart(folders_.configDir, folders_.appDir);
    ui_->ZQ2dir->setText(displayFileName(start_.zq2dir));
    ui_->CDdir->setText(displayFileName(start_.cddir));
    // Set before the dialog is shown, so the drive box has the focus once the window is active.
    if (start_.focusOnCd)
        ui_->CDdir->setFocus();
    setBackgroundPicture(this, skinPicture_);
}

void SettingsDialog::zq2Browse_Click() {
    const std::optional<QString> chosen = prompter_.openFile(
        QStringLiteral("Locate Zeno2.exe"), QStringLiteral("Zeno Quillback 2 (Zeno2.exe)|zeno2.exe"));
    if (!chosen)
        return;
    if (const std::optional<QString> folder = browseCut(*chosen)) {
        // The box stands for the folder browsed to from now on, bytes and all (see typedOrKept).
        start_.zq2dir = *folder;
        ui_->ZQ2dir->setText(displayPath(*folder));
    }
}

void SettingsDialog::OKbtn_Click() {
    const QString line1 = line1ForDirectoryText(typedOrKept(ui_->ZQ2dir->text(), start_.zq2dir));
    const WriteResult result =
        writeSettingsFile(folders_.configDir, line1, typedOrKept(ui_->CDdir->text(), start_.cddir));
    if (result.error)
        prompter_.tell(settingsSaveFailedText(result));
    // Once saved the dialog closes, even with an old spelling of the file left behind; unsaved it
    // stays open, so that the user can retry, change the folder or cancel.
    if (result.saved)
        accept();
}

void SettingsDialog::CancelBtn_Click() {
    reject();
}

} // namespace zq2
