// Renders every window of the program to PNG files, for checking captions and layout by eye:
//
//   zq2screenshots <output-folder> <program-folder> [skin-makefile]
//
// The program folder is where settings.ini and preferences.ini are read from (use the build's bin
// folder with the demo settings). With a skin makefile the skin is applied first, as the
// Preferences dialog would after OK. Message boxes answer No, so nothing is changed.
#include "app/widgets/aboutbox.h"
#include "app/widgets/appfont.h"
#include "app/widgets/findwindow.h"
#include "app/widgets/mainwindow.h"
#include "app/widgets/splash.h"
#include "app/widgets/unattended.h"
#include "appearance/widgets/focusstyle.h"
#include "config/widgets/prefsdialog.h"
#include "config/widgets/settingsdialog.h"
#include "restore/widgets/restoredialog.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QIcon>
#include <QLineEdit>

namespace {

bool save(QWidget& window, const QString& folder, const char* name) {
    window.show();
    QApplication::processEvents();
    const bool ok = window.grab().save(QDir(folder).filePath(QLatin1String(name) + QStringLiteral(".png")));
    window.hide();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    zq2::applyApplicationFont(app);
    zq2::useFocusVisibleStyle();
    if (argc < 3) {
        qWarning("usage: zq2screenshots <output-folder> <program-folder> [skin-makefile]");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const zq2::ProgramFolders folders = zq2::portableFolders(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out);
    zq2::UnattendedPrompter prompter;
    zq2::UnattendedDialogs dialogs;

    zq2::MainWindow window(folders, prompter, dialogs);
    window.Form_Load();
    if (argc > 3)
        window.LoadSkinFile(QString::fromLocal8Bit(argv[3]));
    const zq2::SkinValues& skin = window.skinValues();

    zq2::Splash splash(100000);
    zq2::SettingsDialog settings(folders, prompter, skin.settingsPicture);
    zq2::PrefsDialog prefs(folders.configDir, prompter, skin);
    zq2::RestoreDialog restore(window.gameDir(), window.cdResourceDir(), prompter, skin);
    zq2::AboutBox about(skin.aboutPicture, prompter);
    const bool ok = save(window, out, "main") && save(splash, out, "splash") &&
                    save(settings, out, "settings") && save(prefs, out, "preferences") &&
                    save(restore, out, "restore") && save(about, out, "about");

    // The Level Shelf and Find, with what the demo holds; Find searching for "a".
    window.levelShelf_Click();
    window.findMenu_Click();
    zq2::FindWindow* find = window.findWindow();
    if (!find->isReady()) {
        QEventLoop reading;
        QObject::connect(find, &zq2::FindWindow::ready, &reading, &QEventLoop::quit);
        reading.exec();
    }
    find->findChild<QLineEdit*>(QStringLiteral("findText"))->setText(QStringLiteral("a"));
    const bool more = save(*window.shelfWindow(), out, "shelf") && save(*find, out, "find");
    return ok && more ? 0 : 1;
}
