#pragma once

#include "appearance/skinvalues.h"
#include "platform/programfolders.h"

#include <QPointer>
#include <QString>

class QWidget;

namespace zq2 {

class HelpWindow;
class Prompter;

// The dialogs the main window opens. The window asks through this interface, so tests can watch the
// order in which dialogs appear and stand in for them without opening real windows.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void showSettings(QWidget* parent, const ProgramFolders& folders, const SkinValues& skin) = 0;
    virtual void showPreferences(QWidget* parent, const QString& configDir, const SkinValues& skin) = 0;
    virtual void showRestore(QWidget* parent, const QString& gameDir, const QString& cdResourceDir,
                             const SkinValues& skin) = 0;
    virtual void showAbout(QWidget* parent, const SkinValues& skin) = 0;
    // Opens the help beside the program at its contents; does not wait.
    virtual void showHelp(const QString& helpFile) = 0;
};

// The real dialogs, each created when shown and destroyed when closed.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(Prompter& prompter);
    ~QtDialogs() override;
    void showSettings(QWidget* parent, const ProgramFolders& folders, const SkinValues& skin) override;
    void showPreferences(QWidget* parent, const QString& configDir, const SkinValues& skin) override;
    void showRestore(QWidget* parent, const QString& gameDir, const QString& cdResourceDir,
                     const SkinValues& skin) override;
    void showAbout(QWidget* parent, const SkinValues& skin) override;
    void showHelp(const QString& helpFile) override;

private:
    Prompter& prompter_;
    QPointer<HelpWindow> help_;
};

} // namespace zq2
