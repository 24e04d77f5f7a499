// What any Qt program pays from exec to its first window on screen: a main window of the organizer's
// size with a menu bar, shown and painted once, then the end.
#include "shownwindow.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.setFixedSize(361, 420);
    new QuitWhenPainted(window);
    window.show();
    return app.exec();
}
