#include "app/widgets/helpwindow.h"

#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QIcon>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zq2 {

namespace {

const char* const kHelpFileName = "ZQ2org.qch";
const char* const kCollectionName = "ZQ2org.qhc";
// Where the first topic lies inside the help file.
const char* const kHomePage = "/doc/topics/index.html";

QString defaultWorkDir() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/help");
}

} // namespace

QString helpFilePath(const ProgramFolders& folders) {
    return shippedFile(folders, QLatin1String(kHelpFileName));
}

HelpBrowser::HelpBrowser(QWidget* parent)
    : QTextBrowser(parent) {
    setObjectName(QStringLiteral("helpBrowser"));
    setAccessibleName(QStringLiteral("Help topic"));
    setOpenExternalLinks(true);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    if (engine_ != nullptr && name.scheme() == QLatin1String("qthelp"))
        return engine_->fileData(name);
    return QTextBrowser::loadResource(type, name);
}

HelpWindow::HelpWindow(const QString& helpFile, const QString& workDir, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("zq2HelpWindow"));
    setWindowTitle(QStringLiteral("Zeno 2 Organizer Help"));
    setAccessibleName(QStringLiteral("Zeno 2 Organizer Help"));
    setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(780, 540);

    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("helpTabs"));
    tabs_->setAccessibleName(QStringLiteral("Contents, index and search"));
    browser_ = new HelpBrowser;

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(tabs_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 540});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    if (setUpEngine(helpFile, workDir.isEmpty() ? defaultWorkDir() : workDir))
        showContents();
    else
        showMissingHelp(helpFile);
}

HelpWindow::~HelpWindow() = default;

bool HelpWindow::setUpEngine(const QString& helpFile, const QString& workDir) {
    if (!QFileInfo(helpFile).isFile())
        return false;
    const QString nameSpace = QHelpEngineCore::namespaceName(helpFile);
    if (nameSpace.isEmpty() || !QDir().mkpath(workDir))
        return false;

    engine_ = new QHelpEngine(QDir(workDir).filePath(QLatin1String(kCollectionName)), this);
    engine_->setReadOnly(false);
    if (!engine_->setupData())
        return false;
    // The collection lives outside the program's folder; it follows the help file wherever the
    // program has been moved to since it was made.
    const QString registered = engine_->documentationFileName(nameSpace);
    if (!registered.isEmpty() && QFileInfo(registered) != QFileInfo(helpFile))
        engine_->unregisterDocumentation(nameSpace);
    if (engine_->documentationFileName(nameSpace).isEmpty() && !engine_->registerDocumentation(helpFile))
        return false;
    engine_->setupData();

    home_ = QUrl(QStringLiteral("qthelp://") + nameSpace + QLatin1String(kHomePage));
    if (engine_->fileData(home_).isEmpty()) {
        home_.clear();
        return false;
    }
    browser_->setEngine(engine_);

    QHelpContentWidget* contents = engine_->contentWidget();
    contents->setAccessibleName(QStringLiteral("Contents"));
    QHelpIndexWidget* index = engine_->indexWidget();
    index->setAccessibleName(QStringLiteral("Index"));
    QHelpSearchEngine* search = engine_->searchEngine();

    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->addWidget(search->queryWidget());
    searchLayout->addWidget(search->resultWidget(), 1);

    tabs_->addTab(contents, QStringLiteral("&Contents"));
    tabs_->addTab(index, QStringLiteral("&Index"));
    tabs_->addTab(searchPage, QStringLiteral("&Search"));

    connect(contents, &QHelpContentWidget::linkActivated, this, &HelpWindow::showLink);
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink& document, const QString&) { showLink(document.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink>& documents, const QString&) {
                if (!documents.isEmpty())
                    showLink(documents.first().url);
            });
    connect(search->queryWidget(), &QHelpSearchQueryWidget::search, this, &HelpWindow::startSearch);
    connect(search->resultWidget(), &QHelpSearchResultWidget::requestShowLink, this, &HelpWindow::showLink);
    connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, contents, &QTreeView::expandAll);
    search->scheduleIndexDocumentation();
    return true;
}

void HelpWindow::showContents() {
    if (home_.isEmpty())
        return;
    tabs_->setCurrentIndex(0);
    browser_->setSource(home_);
}

void HelpWindow::showLink(const QUrl& url) {
    browser_->setSource(url);
}

void HelpWindow::startSearch() {
    QHelpSearchEngine* search = engine_->searchEngine();
    search->search(search->queryWidget()->searchInput());
}

void HelpWindow::showMissingHelp(const QString& helpFile) {
    tabs_->hide();
    browser_->setHtml(
        QStringLiteral("<h2>Help is not available</h2>"
                       "<p>The help file could not be found or could not be read:</p>"
                       "<p><code>%1</code></p>"
                       "<p>The file belongs in the program's folder. Copy it back from the program's package "
                       "and open the help again.</p>")
            .arg(displayPath(helpFile).toHtmlEscaped()));
}

HelpWindow* HelpWindow::open(QPointer<HelpWindow>& instance, const QString& helpFile) {
    // A window that found no help file looks again: the file may have been put back meanwhile.
    if (!instance.isNull() && !instance->hasDocumentation())
        delete instance.data();
    // An open window keeps the topic being read; only the Contents tab comes to the front.
    if (instance.isNull())
        instance = new HelpWindow(helpFile);
    else if (instance->tabs_->count() > 0)
        instance->tabs_->setCurrentIndex(0);
    instance->show();
    instance->raise();
    instance->activateWindow();
    return instance;
}

} // namespace zq2
