// The About box and the help window, each built from its own sources so that it is tested alone.
#include "app/widgets/aboutbox.h"
#include "app/widgets/helpwindow.h"
#include "appearance/widgets/skinning.h"
#include "support/scriptedprompter.h"
#include "support/tempfiles.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

class TestAboutAndHelp : public QObject {
    Q_OBJECT

private slots:
    // The About box over its picture, with its title fitted, and the message hidden behind a click.
    void aboutBox_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("keys");
        QTest::addColumn<bool>("asks");
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, none;
        QTest::newRow("ctrl left") << Qt::LeftButton << ctrl << true;
        QTest::newRow("ctrl keypad") << Qt::LeftButton << (ctrl | Qt::KeypadModifier) << true;
        QTest::newRow("plain click") << Qt::LeftButton << none << false;
        QTest::newRow("ctrl shift") << Qt::LeftButton << (ctrl | Qt::ShiftModifier) << false;
    }

    void aboutBox() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, keys);
        QFETCH(bool, asks);
        QTemporaryDir dir;
        QVERIFY(QImage(120, 90, QImage::Format_RGB32).save(dir.filePath(QStringLiteral("about.png"))));
        test::ScriptedPrompter prompter;
        AboutBox box(dir.filePath(QStringLiteral("about.png")), prompter);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(backgroundPictureSize(&box), QSize(120, 90));
        // The title's face differs between desktops; its size comes down until the name fits.
        auto* title = box.findChild<QLabel*>(QStringLiteral("Label2"));
        const QFontMetrics metrics(title->font());
        QVERIFY(metrics.horizontalAdvance(title->text()) <= title->width() &&
                metrics.height() <= title->height());
        // A real mouse press, so that the event reaches the handler as the user's would.
        QTest::mousePress(box.findChild<QWidget*>(QStringLiteral("Image1")), button, keys, {3, 3});
        QCOMPARE(prompter.texts(), asks ? QStringList{"God rules! =)"} : QStringList());
        QVERIFY(!asks || prompter.asked.first().buttons == Buttons::Ok);
    }

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

QTEST_MAIN(TestAboutAndHelp)
#include "tst_aboutandhelp.moc"
