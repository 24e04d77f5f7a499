#include "app/commandline.h"
#include "app/handover.h"
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

int answer(const zq2::CommandLineRequest& request) {
    std::fputs(request.text.toLocal8Bit().constData(), request.exitCode == 0 ? stdout : stderr);
    return request.exitCode;
}

// Files for a copy that runs already: it adds them and this copy ends. When it cannot be reached
// in time, the user hears so, and the status says the files were not added.
int handOver(const zq2::SingleInstance& instance, const QStringList& files, zq2::Prompter& prompter) {
    const zq2::HandOverResult result =
        zq2::handOverFiles(instance.socketPath(), files, qgetenv("XDG_ACTIVATION_TOKEN"));
    if (result == zq2::HandOverResult::Taken)
        return 0;
    const QString text = zq2::handOverFailureText(result);
    std::fputs(QStringLiteral("zq2org: %1\n").arg(text).toLocal8Bit().constData(), stderr);
    prompter.tell(text);
    return 1;
}

// Files handed over come to a window that may be minimised or behind others. The desktop's token
// for the copy that was started lets this one come to the front where focus stealing is prevented.
void bringToFront(QWidget& window, const QByteArray& activationToken) {
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

int main(int argc, char** argv) {
    // The command line is read before the toolkit starts: help, version and mistakes need no
    // display, show no window and leave the single-copy lock alone.
    const zq2::CommandLineRequest request =
        zq2::readCommandLine(zq2::programArguments(argc, argv), zq2::currentFolder());
    if (request.action != zq2::CommandLineRequest::Action::Run)
        return answer(request);

    QApplication app(argc, argv);
    // The name is the command's, so that an installed copy keeps its files in ~/.config/zq2org and
    // its windows carry the class that the desktop entry names.
    QApplication::setApplicationName(QStringLiteral("zq2org"));
    QApplication::setApplicationVersion(QStringLiteral(ZQ2_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(ZQ2_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    zq2::applyApplicationFont(app);
    zq2::useFocusVisibleStyle();

    zq2::SingleInstance instance(QCoreApplication::applicationFilePath());
    zq2::QtPrompter prompter;
    // Files go to a running copy at once, without this copy's splash window.
    if (!request.files.isEmpty() && !instance.tryAcquire())
        return handOver(instance, request.files, prompter);

    // The window is busy while it waits for an answer or while file work runs: files handed over then
    // would start a second drop in the middle of the first one.
    std::unique_ptr<zq2::MainWindow> window;
    zq2::FileInbox inbox(
        [&window] { return QApplication::activeModalWidget() != nullptr || (window && window->busy()); });
    zq2::HandOverServer server([&inbox] { return inbox.busy(); });
    QObject::connect(&server, &zq2::HandOverServer::filesArrived, &inbox, &zq2::FileInbox::take);
    inbox.take(request.files);

    zq2::QtDialogs dialogs(prompter);
    zq2::StartupOptions options;
    options.folders = zq2::runningProgramFolders();
    options.prompter = &prompter;
    options.dialogs = &dialogs;
    // The copy that holds the lock takes files from the moment it has it; they wait in the inbox
    // until the window is up.
    options.anotherCopyRunning = [&instance, &server] {
        if (!instance.tryAcquire())
            return true;
        if (!server.isListening())
            server.listen(instance.socketPath());
        return false;
    };
    if (!request.files.isEmpty())
        server.listen(instance.socketPath());

    window = zq2::startProgram(options);
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
    inbox.open([&window](const QStringList& paths, const QByteArray& activationToken) {
        bringToFront(*window, activationToken);
        window->addFilesToGameFolder(paths);
    });
    return app.exec();
}
