#include "app/singleinstance.h"
#include "app/termination.h"
#include "app/widgets/appfont.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/mainwindow.h"
#include "app/widgets/startup.h"
#include "appearance/widgets/focusstyle.h"
#include "platform/programfolders.h"
#include "platform/widgets/qtprompter.h"

#include <QApplication>
#include <QIcon>
#include <QSessionManager>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The name is the command's, so that an installed copy keeps its files in ~/.config/zq2org.
    QApplication::setApplicationName(QStringLiteral("zq2org"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    zq2::applyApplicationFont(app);
    zq2::useFocusVisibleStyle();

    zq2::SingleInstance instance(QCoreApplication::applicationFilePath());
    zq2::QtPrompter prompter;
    zq2::QtDialogs dialogs(prompter);
    zq2::StartupOptions options;
    options.folders =
        zq2::programFolders(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    options.prompter = &prompter;
    options.dialogs = &dialogs;
    options.anotherCopyRunning = [&instance] { return !instance.tryAcquire(); };

    std::unique_ptr<zq2::MainWindow> window = zq2::startProgram(options);
    if (!window)
        return 0;

    // The end of the desktop session and a termination request close the window without asking.
    zq2::TerminationWatcher watcher;
    QObject::connect(&watcher, &zq2::TerminationWatcher::terminationRequested, window.get(), [&window] {
        window->requestClose(zq2::CloseReason::System);
        QCoreApplication::exit(0);
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, window.get(),
                     [&window](QSessionManager&) { window->requestClose(zq2::CloseReason::SessionEnd); });

    window->show();
    return app.exec();
}
