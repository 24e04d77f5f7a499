#pragma once

#include "platform/prompter.h"

class QWidget;

namespace zq2 {

// Message boxes without an icon and the program's file-open dialog.
class QtPrompter final : public Prompter {
public:
    using Prompter::ask;
    Answer ask(const QString& text, Buttons buttons, const QString& title) override;
    std::optional<QString> openFile(const QString& title, const QString& filter) override;

    // Turns "Description|pattern" into a Qt name filter whose patterns match regardless of letter case.
    static QString toQtFilter(const QString& filter);
};

} // namespace zq2
