#include "restore/widgets/restoredialog.h"

#include "appearance/widgets/skinning.h"
#include "restore/restore.h"
#include "ui_restoredialog.h"

#include <QGuiApplication>
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
    , skin_(skin)
    , work_(this, prompter) {
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

    RestoreResult result{RestoreResult::Kind::NothingTicked};
    FileWork::Options options;
    // The dialog shows no progress of its own; its Cancel stays active to stop the run.
    options.showProgress = false;
    options.stillActive = {ui_->Command1};
    options.onEscape = [this] { reject(); };
    work_.run(options, [&](JobContext& job) { result = runRestore(cdResourceDir_, gameDir_, choice, job); });
    const QString errorTitle = appTitle() + QStringLiteral(" - Error");
    switch (result.kind) {
    case RestoreResult::Kind::NothingTicked:
        return;
    case RestoreResult::Kind::WrongCd:
        prompter_.ask(failureMessage(kFolderNotFound), Buttons::Ok, errorTitle);
        break;
    case RestoreResult::Kind::Failed:
        prompter_.ask(failureMessage(result.code, result.error), Buttons::Ok, errorTitle);
        break;
    case RestoreResult::Kind::Cancelled:
        if (result.restored > 0)
            prompter_.tell(restoreCancelledText(result));
        QDialog::reject();
        return;
    case RestoreResult::Kind::Completed:
        prompter_.tell(restoreCompleteText());
        accept();
        return;
    }
    if (std::exchange(closeAfterRun_, false))
        QDialog::reject();
}

void RestoreDialog::reject() {
    // During a run, a cancel stops it; the dialog closes once the run has ended.
    if (work_.running()) {
        closeAfterRun_ = true;
        work_.cancel();
        return;
    }
    QDialog::reject();
}

void RestoreDialog::Command1_Click() {
    reject();
}

} // namespace zq2
