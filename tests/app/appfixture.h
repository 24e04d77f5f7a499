#pragma once

#include "app/widgets/dialogs.h"
#include "app/widgets/mainwindow.h"
#include "catalogue/widgets/filelistview.h"
#include "support/scriptedprompter.h"
#include "support/tempfiles.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <functional>

namespace zq2::test {

// Stands in for the program's dialogs: records which were opened, in order, and runs an optional
// action in place of the user.
class FakeDialogs final : public Dialogs {
public:
    QStringList shown;
    std::function<void()> onSettings;
    std::function<void()> onPreferences;

    void showSettings(QWidget*, const QString&, const SkinValues&) override { run("settings", onSettings); }
    void showPreferences(QWidget*, const QString&, const SkinValues&) override {
        run("preferences", onPreferences);
    }
    void showRestore(QWidget*, const QString&, const QString&, const SkinValues&) override {
        run("restore", {});
    }
    void showAbout(QWidget*, const SkinValues&) override { run("about", {}); }
    void showHelp(const QString&) override { run("help", {}); }

private:
    void run(const char* what, const std::function<void()>& action) {
        shown << QLatin1String(what);
        if (action)
            action();
    }
};

// A program folder and a game folder of their own, and the main window over them.
struct AppFixture {
    QTemporaryDir appDir;
    QTemporaryDir gameDir;
    ScriptedPrompter prompter;
    FakeDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    QString app() const { return appDir.path(); }
    QString game() const { return gameDir.path(); }
    QString cache() const { return gameDir.path() + QStringLiteral("/cache"); }

    void writeSettings(const QString& folder) {
        writeFile(app(), QStringLiteral("settings.ini"), folder.toLocal8Bit() + "\r\n/media/cdrom");
    }
    void writePreferences(bool warnMaxLevels, bool confirmDelete,
                          const QByteArray& patterns = "*.z2l\r\n*.z2t\r\n*.z2b", bool tips = true) {
        writeFile(app(), QStringLiteral("preferences.ini"),
                  QByteArray("USESKIN=NO\r\n\r\nUSETIPS=") + (tips ? "YES" : "NO") +
                      "\r\nWARNMAXLVLS=" + (warnMaxLevels ? "YES" : "NO") +
                      "\r\nDISPLAYDELETE=" + (confirmDelete ? "YES" : "NO") + "\r\n" + patterns);
    }
    MainWindow& start() {
        window = std::make_unique<MainWindow>(app(), prompter, dialogs);
        window->Form_Load();
        return *window;
    }

    template <class T> T* get(const char* name) const {
        T* child = window->findChild<T*>(QLatin1String(name));
        if (!child)
            qFatal("no control named %s", name);
        return child;
    }
    FileListView* list(const char* name) const { return get<FileListView>(name); }
    QString text(const char* name) const { return get<QLabel>(name)->text(); }
    QString caption(const char* name) const { return get<QPushButton>(name)->text(); }
    QStringList entries(const char* name) const {
        QStringList out;
        for (int i = 0; i < list(name)->count(); ++i)
            out << list(name)->entry(i);
        return out;
    }
    QStringList filterEntries(const char* name) const {
        QStringList out;
        for (int i = 0; i < get<QComboBox>(name)->count(); ++i)
            out << get<QComboBox>(name)->itemText(i);
        return out;
    }
    void chooseFilter(const char* name, int index) {
        auto* combo = get<QComboBox>(name);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
};

} // namespace zq2::test
