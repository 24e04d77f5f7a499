#include "app/widgets/aboutbox.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/helpwindow.h"
#include "app/widgets/startup.h"
#include "config/widgets/prefsdialog.h"
#include "config/widgets/settingsdialog.h"
#include "restore/widgets/restoredialog.h"

namespace zq2 {

QtDialogs::QtDialogs(Prompter& prompter)
    : prompter_(prompter) {}

QtDialogs::~QtDialogs() {
    delete help_.data();
}

namespace {

// Every dialog opens in the middle of the screen and blocks only the main window, so the help
// beside the program stays usable while a dialog is open.
int runModal(QDialog& dialog) {
    dialog.setWindowModality(dialog.parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    centreOnScreen(&dialog);
    return dialog.exec();
}

} // namespace

// Each dialog is created for one showing and destroyed when it closes, so it always opens from its
// design state and the current files.

void QtDialogs::showSettings(QWidget* parent, const ProgramFolders& folders, const SkinValues& skin) {
    SettingsDialog dialog(folders, prompter_, skin.settingsPicture, parent);
    runModal(dialog);
}

void QtDialogs::showPreferences(QWidget* parent, const QString& configDir, const SkinValues& skin) {
    PrefsDialog dialog(configDir, prompter_, skin, parent);
    runModal(dialog);
}

void QtDialogs::showRestore(QWidget* parent, const QString& gameDir, const QString& cdResourceDir,
                            const SkinValues& skin) {
    RestoreDialog dialog(gameDir, cdResourceDir, prompter_, skin, parent);
    runModal(dialog);
}

void QtDialogs::showAbout(QWidget* parent, const SkinValues& skin) {
    AboutBox box(skin.aboutPicture, prompter_, parent);
    runModal(box);
}

void QtDialogs::showHelp(const QString& helpFile) {
    // The help runs beside the program but must not keep it alive once the main window has closed.
    if (HelpWindow* window = HelpWindow::open(help_, helpFile))
        window->setAttribute(Qt::WA_QuitOnClose, false);
}

} // namespace zq2
