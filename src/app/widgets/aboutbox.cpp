#include "app/widgets/aboutbox.h"

#include "ui_aboutbox.h"

#include "appearance/widgets/skinning.h"
#include "platform/prompter.h"

#include <QFontMetrics>
#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>

namespace zq2 {

AboutBox::AboutBox(const QString& aboutPicture, Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , ui_(std::make_unique<Ui::AboutBox>())
    , aboutPicture_(aboutPicture)
    , prompter_(prompter) {
    ui_->setupUi(this);
    setFixedSize(306, 240);
    setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    ui_->Image1->setPixmap(QPixmap(QStringLiteral(":/assets/icon.png")));
    ui_->Image2->setPixmap(QPixmap(QStringLiteral(":/assets/credits.png")));
    fitTitle();

    // OK is the only control that takes the keyboard focus; Enter presses it.
    for (QWidget* child : findChildren<QWidget*>())
        child->setFocusPolicy(Qt::NoFocus);
    ui_->okButton->setFocusPolicy(Qt::StrongFocus);
    ui_->okButton->setDefault(true);
    ui_->okButton->setFocus();

    ui_->Image1->installEventFilter(this);
    connect(ui_->okButton, &QPushButton::clicked, this, &AboutBox::okButton_Click);

    Form_Load();
}

AboutBox::~AboutBox() = default;

void AboutBox::Form_Load() {
    setBackgroundPicture(this, aboutPicture_);
}

void AboutBox::okButton_Click() {
    accept();
}

void AboutBox::Image1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    Q_UNUSED(button);
    const Qt::KeyboardModifiers keys =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (keys == Qt::ControlModifier)
        prompter_.ask(QStringLiteral("God rules! =)"), Buttons::Ok);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Image1 && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        Image1_MouseDown(mouse->button(), mouse->modifiers());
    }
    return QDialog::eventFilter(watched, event);
}

// The name is set in Verdana where the desktop has it; other desktops take a similar sans-serif face.
// Faces differ in width, so the size comes down until the name fits its place on one line.
void AboutBox::fitTitle() {
    QLabel* title = ui_->Label2;
    QFont font = title->font();
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("Tahoma"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    for (;;) {
        const QFontMetrics metrics(font);
        const bool fits = metrics.horizontalAdvance(title->text()) <= title->width() - 2 &&
                          metrics.height() <= title->height();
        if (fits || font.pointSize() <= 8)
            break;
        font.setPointSize(font.pointSize() - 1);
    }
    title->setFont(font);
}

} // namespace zq2
