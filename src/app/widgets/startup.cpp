#include "app/widgets/startup.h"

#include "app/widgets/mainwindow.h"
#include "app/widgets/splash.h"

#include <QScreen>

namespace zq2 {

std::unique_ptr<MainWindow> startProgram(const StartupOptions& options) {
    {
        Splash splash(options.splashMilliseconds);
        centreOnScreen(&splash);
        splash.exec();
    }
    if (options.anotherCopyRunning && options.anotherCopyRunning())
        return nullptr;
    auto window = std::make_unique<MainWindow>(options.folders, *options.prompter, *options.dialogs);
    window->Form_Load();
    centreOnScreen(window.get());
    return window;
}

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace zq2
