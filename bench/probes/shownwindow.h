#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

// Ends the program once `window` or any widget in it has been painted for the first time: the moment
// a user sees it. Both start-up probes use it, so that they stop at the same point.
class QuitWhenPainted : public QObject {
public:
    explicit QuitWhenPainted(QWidget& window)
        : QObject(&window)
        , window_(window) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !quitting_ && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &window_) {
            quitting_ = true;
            // exit(), not quit(): quitting asks the windows to close, and the organizer's window may
            // ask first (more than 255 levels) and stay open.
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget& window_;
    bool quitting_ = false;
};
