#include "app/widgets/splash.h"

#include "ui_splash.h"

#include <QKeyEvent>
#include <QTimer>

namespace zq2 {

Splash::Splash(int milliseconds, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , ui_(std::make_unique<Ui::zq2Splasher>()) {
    ui_->setupUi(this);
    setFixedSize(501, 195);
    setModal(true);
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    // A coarse timer may fire up to 5 % early to share a wake-up with others; the splash stays its
    // full time.
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(milliseconds);
    connect(Timer1, &QTimer::timeout, this, &Splash::Timer1_Timer);
    Timer1->start();
}

Splash::~Splash() = default;

void Splash::Timer1_Timer() {
    Timer1->stop();
    accept();
}

void Splash::keyPressEvent(QKeyEvent* event) {
    // The splash has no controls; Escape must not cut the start-up short in a way the timer would not.
    event->ignore();
}

} // namespace zq2
