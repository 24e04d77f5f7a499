#include "app/widgets/helpwindow.h"
#include "support/tempfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    // Opening again finds a help file put back, and the help file as the build put it beside the
    // program opens at its contents.
    void openingFindsTheBuiltHelpAtContents() {
        QTemporaryDir dir;
        QPointer<HelpWindow> instance;
        QVERIFY(!HelpWindow::open(instance, helpFilePath(portableFolders(dir.path())))->hasDocumentation());
        const std::unique_ptr<HelpWindow> window(HelpWindow::open(instance, QStringLiteral(ZQ2_HELP_FILE)));
        QVERIFY(window->hasDocumentation());
        QTextBrowser* page = window->browser();
        QCOMPARE(page->documentTitle(), QStringLiteral("Zeno 2 Organizer"));
        QVERIFY(page->toHtml().contains(QStringLiteral("#0f3a4f"))); // the style sheet's heading colour
        // Every topic is in the help file, reached through links relative to the first.
        for (const char* topic :
             {"main-window", "adding-files", "clear-cache", "copy-entire-cache", "exit", "restore-dialog",
              "preferences-dialog", "settings-dialog", "run-through", "about-box", "settings-ini",
              "preferences-ini", "skins", "troubleshooting"}) {
            page->setSource(QUrl(QLatin1String(topic) + QStringLiteral(".html")));
            QVERIFY2(!page->documentTitle().isEmpty(), topic);
        }
    }

    void unusableHelpFile_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: no file at all
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a help file") << QByteArray("this is not a help file\r\n");
    }

    void unusableHelpFile() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        if (!bytes.isNull())
            test::writeFile(dir.path(), QStringLiteral("ZQ2org.qch"), bytes);
        const QString path = helpFilePath(portableFolders(dir.path()));
        HelpWindow window(path, dir.filePath(QStringLiteral("work")));
        QVERIFY(!window.hasDocumentation());
        const QString text = window.browser()->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("help file could not be found")), qPrintable(text));
        QVERIFY(text.contains(QDir::toNativeSeparators(path)));
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
