#pragma once

#include "app/widgets/dialogs.h"
#include "platform/prompter.h"

namespace zq2 {

// For running the windows with nobody at the screen (benchmarks, rendering screenshots): every
// question is answered No or Cancel, no file is chosen and no dialog opens, so nothing is changed.
class UnattendedPrompter final : public Prompter {
public:
    using Prompter::ask;
    Answer ask(const QString&, Buttons buttons, const QString&) override {
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    std::optional<QString> openFile(const QString&, const QString&) override { return std::nullopt; }
};

class UnattendedDialogs final : public Dialogs {
public:
    void showSettings(QWidget*, const ProgramFolders&, const SkinValues&) override {}
    void showPreferences(QWidget*, const QString&, const SkinValues&) override {}
    void showRestore(QWidget*, const QString&, const QString&, const SkinValues&) override {}
    void showAbout(QWidget*, const SkinValues&) override {}
    void showHelp(const QString&) override {}
};

} // namespace zq2
