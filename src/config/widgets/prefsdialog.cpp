#include "config/widgets/prefsdialog.h"

#include "ui_prefsdialog.h"

#include "appearance/widgets/skinning.h"
#include "config/preferencesfile.h"
#include "platform/fileerror.h"
#include "platform/filenames.h"
#include "platform/paths.h"
#include "platform/prompter.h"

#include <QListWidget>
#include <QPushButton>

namespace zq2 {

namespace {

void applySwitch(QCheckBox* box, const std::optional<bool>& value) {
    if (value)
        box->setChecked(*value);
}

// A pattern is shown as displayFileName shows it and kept as read, so that OK writes back its bytes.
void addPatterns(QListWidget* list, const QStringList& patterns) {
    for (const QString& pattern : patterns) {
        auto* item = new QListWidgetItem(displayFileName(pattern), list);
        item->setData(Qt::UserRole, pattern);
    }
}

} // namespace

PrefsDialog::PrefsDialog(const QString& configDir, Prompter& prompter, const SkinValues& skin,
                         QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::PrefsDialog>())
    , configDir_(configDir)
    , prompter_(prompter)
    , skin_(skin) {
    ui_->setupUi(this);
    // The dialog has no default button, so Enter does nothing in it, not even in the pattern box.
    // No button may be auto-default: a dialog on screen makes the next auto-default button the
    // default whenever the focus moves, and a focused auto-default button takes Enter itself.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(314, 392);

    // toggled, not clicked: a tick set while loading must enable the skin controls just like a
    // click does, and each change of the tick has to flip them exactly once.
    connect(ui_->useSkin, &QCheckBox::toggled, this, &PrefsDialog::useSkin_Click);
    connect(ui_->browseSkin, &QPushButton::clicked, this, &PrefsDialog::browseSkin_Click);
    connect(ui_->addExt, &QPushButton::clicked, this, &PrefsDialog::addExt_Click);
    connect(ui_->removeExt, &QPushButton::clicked, this, &PrefsDialog::removeExt_Click);
    connect(ui_->Command5, &QPushButton::clicked, this, &PrefsDialog::Command5_Click);
    connect(ui_->Command4, &QPushButton::clicked, this, &PrefsDialog::Command4_Click);

    Form_Load();
}

PrefsDialog::~PrefsDialog() = default;

void PrefsDialog::Form_Load() {
    const std::optional<PreferencesFile> file = readPreferencesFile(configDir_);
    if (file && file->tooLarge) {
        leaveFileAlone_ = true;
        prompter_.tell(preferencesTooLargeText(file->path));
    }
    if (!file || file->tooLarge) {
        ui_->useSkin->setChecked(false);
        ui_->useTips->setChecked(true);
        ui_->warnMax->setChecked(true);
        addPatterns(ui_->extList, defaultPatterns());
    } else {
        // A line that matches neither text leaves its box as the form starts it.
        applySwitch(ui_->useSkin, file->useSkin);
        skinPath_ = file->skinLine;
        ui_->skinDir->setText(displayFileName(skinPath_));
        applySwitch(ui_->useTips, file->useTips);
        applySwitch(ui_->warnMax, file->warnMax);
        applySwitch(ui_->disDel, file->displayDelete);
        addPatterns(ui_->extList, file->patterns);
    }

    setBackgroundPicture(this, skin_.prefsPicture);
    for (QWidget* w : {static_cast<QWidget*>(ui_->Frame1), static_cast<QWidget*>(ui_->useSkin),
                       static_cast<QWidget*>(ui_->useTips), static_cast<QWidget*>(ui_->warnMax),
                       static_cast<QWidget*>(ui_->disDel)})
        setBackColour(w, skin_.prefsColour);
}

void PrefsDialog::addExt_Click() {
    const AddPatternResult result = checkNewPattern(ui_->extText->text());
    switch (result.check) {
    case AddPatternCheck::Add:
        addPatterns(ui_->extList, {result.pattern});
        break;
    case AddPatternCheck::MustBeginWithStarDot:
    case AddPatternCheck::TooLong:
        prompter_.tell(result.message);
        break;
    case AddPatternCheck::Ignore:
        break;
    }
    ui_->extText->setText(QStringLiteral("*."));
}

void PrefsDialog::removeExt_Click() {
    const QList<QListWidgetItem*> selected = ui_->extList->selectedItems();
    if (selected.isEmpty())
        return;
    delete ui_->extList->takeItem(ui_->extList->row(selected.first()));
    // No entry is selected after a removal; a second Remove must not take the neighbour too.
    ui_->extList->clearSelection();
    ui_->extList->setCurrentRow(-1);
}

void PrefsDialog::Command5_Click() {
    if (leaveFileAlone_) {
        accept();
        return;
    }
    QStringList patterns;
    for (int i = 0; i < ui_->extList->count(); ++i)
        patterns << ui_->extList->item(i)->data(Qt::UserRole).toString();
    const QByteArray bytes = preferencesBytes(
        ui_->useSkin->isChecked(), typedOrKept(ui_->skinDir->text(), skinPath_), ui_->useTips->isChecked(),
        ui_->warnMax->isChecked(), ui_->disDel->isChecked(), patterns);
    const WriteResult result = writePreferencesFile(configDir_, bytes);
    if (result.error)
        prompter_.tell(preferencesSaveFailedText(result));
    // Once saved the dialog closes, even with an old spelling of the file left behind; unsaved it
    // stays open, so that the user can retry, change the choices or cancel.
    if (result.saved)
        accept();
}

void PrefsDialog::Command4_Click() {
    reject();
}

void PrefsDialog::useSkin_Click() {
    ui_->skinDir->setEnabled(!ui_->skinDir->isEnabledTo(this));
    ui_->browseSkin->setEnabled(!ui_->browseSkin->isEnabledTo(this));
}

void PrefsDialog::browseSkin_Click() {
    const std::optional<QString> chosen = prompter_.openFile(QStringLiteral("Locate Skin Makefile"),
                                                             QStringLiteral("Skin Makefiles (*.skn)|*.skn"));
    if (!chosen)
        return;
    skinPath_ = *chosen;
    ui_->skinDir->setText(displayPath(skinPath_));
}

} // namespace zq2
