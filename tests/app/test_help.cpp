#include "app/widgets/helpwindow.h"

#include "support/tempfiles.h"

#include <QHelpEngineCore>
#include <QHelpLink>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

namespace {

// The help file as the build put it beside the program.
const QString kBuiltHelpFile = QStringLiteral(ZQ2_HELP_FILE);

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void topics_data();
    void topics();
    void keywords_data();
    void keywords();
    void windowOpensAtContents();
    void unusableHelpFile_data();
    void unusableHelpFile();
    void openingAgainReusesTheWindow();

private:
    QTemporaryDir work_;
    std::unique_ptr<QHelpEngineCore> engine_;
    QString namespace_;
};

void TestHelp::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(QFileInfo(kBuiltHelpFile).isFile(), qPrintable(kBuiltHelpFile));
    namespace_ = QHelpEngineCore::namespaceName(kBuiltHelpFile);
    QVERIFY(!namespace_.isEmpty());
    engine_ = std::make_unique<QHelpEngineCore>(work_.filePath(QStringLiteral("check.qhc")));
    engine_->setReadOnly(false);
    QVERIFY(engine_->setupData());
    QVERIFY2(engine_->registerDocumentation(kBuiltHelpFile), qPrintable(engine_->error()));
}

void TestHelp::topics_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("phrase");
    QTest::newRow("introduction") << "index.html"
                                  << "Zeno 2 Organizer";
    QTest::newRow("main window") << "main-window.html"
                                 << "Copy to ZQ2 folder";
    QTest::newRow("clear cache") << "clear-cache.html"
                                 << "Cache is empty.";
    QTest::newRow("copy entire cache") << "copy-entire-cache.html"
                                       << "Copy Entire Cache";
    QTest::newRow("exit") << "exit.html"
                          << "255 levels";
    QTest::newRow("restore") << "restore-dialog.html"
                             << "Auto-Overwrite files";
    QTest::newRow("preferences") << "preferences-dialog.html"
                                 << "Display Delete confirmation box";
    QTest::newRow("settings") << "settings-dialog.html"
                              << "CD-ROM Drive Letter";
    QTest::newRow("run-through") << "run-through.html"
                                 << "Contents";
    QTest::newRow("about") << "about-box.html"
                           << "version";
    QTest::newRow("settings.ini") << "settings-ini.html"
                                  << "APP-PATH";
    QTest::newRow("preferences.ini") << "preferences-ini.html"
                                     << "DISPLAYDELETE=YES";
    QTest::newRow("skins") << "skins.html"
                           << "8000000F";
    QTest::newRow("troubleshooting") << "troubleshooting.html"
                                     << "Wrong CD";
    QTest::newRow("style sheet") << "style.css"
                                 << "font-family";
}

void TestHelp::topics() {
    QFETCH(QString, page);
    QFETCH(QString, phrase);
    const QUrl url(QStringLiteral("qthelp://%1/doc/topics/%2").arg(namespace_, page));
    const QString text = QString::fromUtf8(engine_->fileData(url));
    QVERIFY2(text.contains(phrase), qPrintable(url.toString()));
}

void TestHelp::keywords_data() {
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("page");
    QTest::newRow("skin") << "skin makefile"
                          << "skins.html";
    QTest::newRow("settings.ini") << "settings.ini"
                                  << "settings-ini.html";
    QTest::newRow("clear cache") << "Clear Cache"
                                 << "clear-cache.html";
    QTest::newRow("about") << "About"
                           << "about-box.html";
}

void TestHelp::keywords() {
    QFETCH(QString, keyword);
    QFETCH(QString, page);
    const QList<QHelpLink> links = engine_->documentsForKeyword(keyword);
    QCOMPARE(links.size(), 1);
    QVERIFY2(links.first().url.path().endsWith(QLatin1Char('/') + page),
             qPrintable(links.first().url.toString()));
}

void TestHelp::windowOpensAtContents() {
    QTemporaryDir work;
    HelpWindow window(kBuiltHelpFile, work.path());
    QVERIFY(window.hasDocumentation());
    QCOMPARE(window.browser()->documentTitle(), QStringLiteral("Zeno 2 Organizer"));
    QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("Where to go next")));
    // The topics' style sheet is fetched from the help file too (its heading colour shows in the page).
    QVERIFY(window.browser()->toHtml().contains(QStringLiteral("#0f3a4f")));
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("helpTabs"));
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->currentIndex(), 0);

    // Links between topics are followed inside the help file.
    window.browser()->setSource(QUrl(QStringLiteral("qthelp://%1/doc/topics/skins.html").arg(namespace_)));
    QCOMPARE(window.browser()->documentTitle(), QStringLiteral("Skins"));
}

void TestHelp::unusableHelpFile_data() {
    QTest::addColumn<QByteArray>("bytes"); // null: no file at all
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("not a help file") << QByteArray("this is not a help file\r\n", 25);
}

void TestHelp::unusableHelpFile() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    if (!bytes.isNull())
        test::writeFile(dir.path(), QStringLiteral("ZQ2org.qch"), bytes);
    const QString path = helpFilePath(dir.path());

    HelpWindow window(path, dir.filePath(QStringLiteral("work")));
    QVERIFY(!window.hasDocumentation());
    const QString text = window.browser()->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("help file could not be found")), qPrintable(text));
    QVERIFY(text.contains(QDir::toNativeSeparators(path)));
    window.showContents(); // nothing to show; the page stays
    QCOMPARE(window.browser()->toPlainText(), text);
}

void TestHelp::openingAgainReusesTheWindow() {
    QTemporaryDir dir;
    QPointer<HelpWindow> instance;
    HelpWindow* first = HelpWindow::open(instance, helpFilePath(dir.path()));
    QVERIFY(first && first->isVisible());
    QCOMPARE(HelpWindow::open(instance, helpFilePath(dir.path())), first);
    first->close(); // closing deletes it; the next opening makes a new window
    QTRY_VERIFY(instance.isNull());
    HelpWindow* second = HelpWindow::open(instance, helpFilePath(dir.path()));
    QVERIFY(second);
    delete second;
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
