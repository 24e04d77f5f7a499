#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class AboutBox;
}

namespace zq2 {

class Prompter;

// The About box: the program's name, its credits, the rights notice and the version. Shown modally
// and created afresh each time, so that it always shows the current skin's About picture.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    // `aboutPicture` is the full path of the skin's About picture, empty for none.
    AboutBox(const QString& aboutPicture, Prompter& prompter, QWidget* parent = nullptr);
    ~AboutBox() override;

    // A mouse button went down on the program icon. Ctrl alone (Shift and Alt up), with any button,
    // shows a little message; every other key state does nothing.
    void Image1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void okButton_Click();
    void fitTitle();

    std::unique_ptr<Ui::AboutBox> ui_;
    QString aboutPicture_;
    Prompter& prompter_;
};

} // namespace zq2
