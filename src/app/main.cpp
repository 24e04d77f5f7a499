#include "app/commandline.h"
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

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

int answer(const zq2::CommandLineRequest& request) {
    std::fputs(request.text.toLocal8Bit().constData(), request.exitCode == 0 ? stdout : stderr);
    return request.exitCode;
}

} // namespace

int main(int argc, char** argv) {
    // Help and version are answered before the toolkit starts: they need no display, show no
    // window and leave the single-copy lock alone.
    const zq2::CommandLineRequest early = zq2::readCommandLine(argumentsOf(argc, argv));
    if (early.action == zq2::CommandLineRequest::Action::Help ||
        early.action == zq2::CommandLineRequest::Action::Version)
        return answer(early);

    QApplication app(argc, argv);
    // The toolkit has taken its own options (-platform, -style, ...) out by now; anything left over
    // is a mistake, reported before anything is shown or locked.
    const zq2::CommandLineRequest request = zq2::readCommandLine(QCoreApplication::arguments());
    if (request.action != zq2::CommandLineRequest::Action::Run)
        return answer(request);

    // The name is the command's, so that an installed copy keeps its files in ~/.config/zq2org.
    QApplication::setApplicationName(QStringLiteral("zq2org"));
    QApplication::setApplicationVersion(QStringLiteral(ZQ2_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(ZQ2_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    zq2::applyApplicationFont(app);
    zq2::useFocusVisibleStyle();

    zq2::SingleInstance instance(QCoreApplication::applicationFilePath());
    zq2::QtPrompter prompter;
    zq2::QtDialogs dialogs(prompter);
    zq2::StartupOptions options;
    options.folders = zq2::runningProgramFolders();
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
