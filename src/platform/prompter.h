#pragma once

#include <QString>

#include <optional>

namespace zq2 {

// The title of every message box of the program.
inline QString appTitle() {
    return QStringLiteral("Zeno 2 Organizer");
}

// YesAllNoAllCancel: Yes, Yes to All, No, No to All and Cancel, for a run of questions of one kind.
enum class Buttons { Ok, OkCancel, YesNo, YesAllNoAllCancel };
enum class Answer { Ok, Cancel, Yes, No, YesToAll, NoToAll };

// Every message box and file-open dialog of the program goes through this, so that windows stay thin
// and tests can answer in advance. A box closed without a choice answers Cancel where it has that button,
// else No.
class Prompter {
public:
    virtual ~Prompter() = default;

    virtual Answer ask(const QString& text, Buttons buttons, const QString& title) = 0;
    Answer ask(const QString& text, Buttons buttons) { return ask(text, buttons, appTitle()); }
    void tell(const QString& text) { ask(text, Buttons::Ok, appTitle()); }

    // `filter` is one entry written as description "|" pattern, e.g. "Skin Makefiles (*.skn)|*.skn".
    // The chosen file must exist. Returns the full path, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(const QString& title, const QString& filter) = 0;
};

} // namespace zq2
