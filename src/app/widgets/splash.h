#pragma once

#include <QDialog>

#include <memory>

class QTimer;

namespace Ui {
class zq2Splasher;
}

namespace zq2 {

// The splash window: borderless, centred, shows the splash picture and closes itself once its timer
// fires. Shown modally, so start-up does not go on until it has closed.
class Splash : public QDialog {
    Q_OBJECT
public:
    static constexpr int kShowMilliseconds = 1500;

    explicit Splash(int milliseconds = kShowMilliseconds, QWidget* parent = nullptr);
    ~Splash() override;

    void Timer1_Timer();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::zq2Splasher> ui_;
    QTimer* Timer1 = nullptr;
};

} // namespace zq2
