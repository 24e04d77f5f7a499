#pragma once

#include "app/widgets/dialogs.h"

#include <QStringList>
#include <QWidget>

#include <functional>

namespace zq2::test {

// Stands in for the program's dialogs: records which were opened, in order, with whether the main
// window was visible at that moment, and runs an optional action in place of the user.
class FakeDialogs final : public Dialogs {
public:
    QStringList shown;
    std::function<void()> onSettings;
    std::function<void()> onPreferences;
    QString lastHelpFile;

    void showSettings(QWidget* parent, const QString&, const SkinValues&) override {
        record(QStringLiteral("settings"), parent);
        if (onSettings)
            onSettings();
    }
    void showPreferences(QWidget* parent, const QString&, const SkinValues&) override {
        record(QStringLiteral("preferences"), parent);
        if (onPreferences)
            onPreferences();
    }
    void showRestore(QWidget* parent, const QString&, const QString&, const SkinValues&) override {
        record(QStringLiteral("restore"), parent);
    }
    void showAbout(QWidget* parent, const SkinValues&) override { record(QStringLiteral("about"), parent); }
    void showHelp(const QString& helpFile) override {
        shown << QStringLiteral("help");
        lastHelpFile = helpFile;
    }

private:
    void record(const QString& what, QWidget* parent) {
        shown << what + (parent && parent->isVisible() ? QStringLiteral(" over visible window") : QString());
    }
};

} // namespace zq2::test
