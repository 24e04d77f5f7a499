#include "restore/widgets/restoredialog.h"

#include "appearance/widgets/skinning.h"
#include "fileops/kilobytes.h"
#include "restore/restore.h"
#include "ui_restoredialog.h"

#include <QGuiApplication>
#include <QLocale>
#include <QPixmap>
#include <QScreen>

namespace zq2 {

RestoreDialog::RestoreDialog(const QString& gameDir, const QString& cdResourceDir, Prompter& prompter,
                             const SkinValues& skin, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
    , ui_(std::make_unique<Ui::RestoreDialog>())
    , gameDir_(gameDir)
    , cdResourceDir_(cdResourceDir)
    , prompter_(prompter)
    , skin_(skin) {
    ui_->setupUi(this);
    setFixedSize(337, 280);
    ui_->Image1->setPixmap(QPixmap(QStringLiteral(":/assets/icon.png")));
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connect(ui_->Command2, &QPushButton::clicked, this, &RestoreDialog::Command2_Click);
    connect(ui_->Command1, &QPushButton::clicked, this, &RestoreDialog::Command1_Click);
    Form_Load();
}

RestoreDialog::~RestoreDialog() = default;

void RestoreDialog::Form_Load() {
    setBackgroundPicture(this, skin_.restorePicture);
    setBackColour(ui_->Frame1, skin_.restoreColour);
    for (QWidget* box :
         {static_cast<QWidget*>(ui_->Lvls), static_cast<QWidget*>(ui_->Tiles),
          static_cast<QWidget*>(ui_->Music), static_cast<QWidget*>(ui_->ZQ2), static_cast<QWidget*>(ui_->ZLE),
          static_cast<QWidget*>(ui_->ZLEini), static_cast<QWidget*>(ui_->Vid),
          static_cast<QWidget*>(ui_->Episodes), static_cast<QWidget*>(ui_->Macros)})
        setBackColour(box, skin_.restoreColour);
    setBackColour(ui_->autoOvrWrite, skin_.restoreOverwriteColour);
}

bool RestoreDialog::Chked(const QCheckBox* box) {
    // A greyed box counts as not ticked.
    return box->checkState() == Qt::Checked;
}

void RestoreDialog::Command2_Click() {
    RestoreChoice choice;
    choice.levels = Chked(ui_->Lvls);
    choice.tilesets = Chked(ui_->Tiles);
    choice.music = Chked(ui_->Music);
    choice.game = Chked(ui_->ZQ2);
    choice.zle = Chked(ui_->ZLE);
    choice.zleIni = Chked(ui_->ZLEini);
    choice.video = Chked(ui_->Vid);
    choice.episodes = Chked(ui_->Episodes);
    choice.macros = Chked(ui_->Macros);
    choice.autoOverwrite = Chked(ui_->autoOvrWrite);

    const QLocale locale = QLocale::system();
    const AskReplace ask = [this, &locale](const QString& name, qint64 oldSize, qint64 newSize) {
        return prompter_.ask(replaceQuestion(name, oldSize, newSize, locale), Buttons::YesNo) == Answer::Yes;
    };
    const RestoreResult result = runRestore(cdResourceDir_, gameDir_, choice, ask);
    const QString errorTitle = appTitle() + QStringLiteral(" - Error");
    switch (result.kind) {
    case RestoreResult::Kind::NothingTicked:
        return;
    case RestoreResult::Kind::WrongCd:
        prompter_.ask(failureMessage(kFolderNotFound), Buttons::Ok, errorTitle);
        return;
    case RestoreResult::Kind::Failed:
        prompter_.ask(failureMessage(result.code, result.error), Buttons::Ok, errorTitle);
        return;
    case RestoreResult::Kind::Completed:
        prompter_.tell(restoreCompleteText());
        accept();
        return;
    }
}

void RestoreDialog::Command1_Click() {
    reject();
}

} // namespace zq2
