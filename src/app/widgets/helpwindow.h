#pragma once

#include "platform/programfolders.h"

#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

class QHelpEngine;
class QTabWidget;

namespace zq2 {

// The help file "ZQ2org.qch": beside the executable, or else in an installed copy's data folder.
QString helpFilePath(const ProgramFolders& folders);

// Shows the topics of the help file, fetching each page and picture through the help engine.
class HelpBrowser final : public QTextBrowser {
    Q_OBJECT

public:
    explicit HelpBrowser(QWidget* parent = nullptr);
    void setEngine(QHelpEngine* engine) { engine_ = engine; }

    QVariant loadResource(int type, const QUrl& name) override;

private:
    QHelpEngine* engine_ = nullptr;
};

// The program's help window: contents, index and search beside the page being read. It runs beside
// the program (it is not modal). A missing or damaged help file leaves a page that says so.
class HelpWindow final : public QWidget {
    Q_OBJECT

public:
    // `helpFile` is the compressed help file. The help engine keeps its collection and search index
    // in `workDir`; by default a folder of the user's cache, since the program's own folder may be
    // read-only.
    explicit HelpWindow(const QString& helpFile, const QString& workDir = QString(),
                        QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Opens the help at its contents, reusing the window `instance` while it is open: a second call
    // brings the open window to the front, or, when that window found no help file, opens a new one
    // that looks for the file again. The caller keeps `instance` for as long as it may ask again.
    static HelpWindow* open(QPointer<HelpWindow>& instance, const QString& helpFile);

    bool hasDocumentation() const { return !home_.isEmpty(); }
    QTextBrowser* browser() const { return browser_; }

    // Shows the first topic and the Contents tab.
    void showContents();

private:
    bool setUpEngine(const QString& helpFile, const QString& workDir);
    void showMissingHelp(const QString& helpFile);
    void showLink(const QUrl& url);
    void startSearch();

    QHelpEngine* engine_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    HelpBrowser* browser_ = nullptr;
    QUrl home_;
};

} // namespace zq2
