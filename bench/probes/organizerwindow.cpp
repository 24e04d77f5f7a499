// The organizer's start-up from exec to its main window on screen, without the splash window's fixed
// time and the single-copy check: the application set up as the program sets it up, the settings
// and preferences of the folder given as the argument read, both lists filled and counted, the
// window shown and painted once, then the end.
#include "app/widgets/appfont.h"
#include "app/widgets/mainwindow.h"
#include "app/widgets/unattended.h"
#include "appearance/widgets/focusstyle.h"
#include "shownwindow.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    QApplication::setApplicationName(QStringLiteral("zq2org"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    zq2::applyApplicationFont(app);
    zq2::useFocusVisibleStyle();
    zq2::UnattendedPrompter prompter;
    zq2::UnattendedDialogs dialogs;
    zq2::MainWindow window(zq2::portableFolders(QFile::decodeName(argv[1])), prompter, dialogs);
    window.Form_Load();
    new QuitWhenPainted(window);
    window.show();
    return app.exec();
}
