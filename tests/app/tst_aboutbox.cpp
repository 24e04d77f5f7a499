#include "app/widgets/aboutbox.h"
#include "appearance/widgets/skinning.h"
#include "support/scriptedprompter.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

class TestAboutBox : public QObject {
    Q_OBJECT

private slots:
    void hiddenMessage_data() {
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("keys");
        QTest::addColumn<bool>("asks");
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, none;
        QTest::newRow("ctrl left") << "Image1" << Qt::LeftButton << ctrl << true;
        QTest::newRow("ctrl right") << "Image1" << Qt::RightButton << ctrl << true;
        QTest::newRow("ctrl keypad") << "Image1" << Qt::LeftButton << (ctrl | Qt::KeypadModifier) << true;
        QTest::newRow("plain click") << "Image1" << Qt::LeftButton << none << false;
        QTest::newRow("ctrl shift") << "Image1" << Qt::LeftButton << (ctrl | Qt::ShiftModifier) << false;
        QTest::newRow("ctrl alt") << "Image1" << Qt::RightButton << (ctrl | Qt::AltModifier) << false;
        QTest::newRow("ctrl on the credits") << "Image2" << Qt::LeftButton << ctrl << false;
    }

    void hiddenMessage() {
        QFETCH(QString, clicked);
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, keys);
        QFETCH(bool, asks);
        test::ScriptedPrompter prompter;
        AboutBox box(QString(), prompter);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        // A real mouse press, so that the event reaches the handler as the user's would.
        QTest::mousePress(box.findChild<QWidget*>(clicked), button, keys, {3, 3});
        QCOMPARE(prompter.texts(), asks ? QStringList{"God rules! =)"} : QStringList());
        QVERIFY(!asks || prompter.asked.first().buttons == Buttons::Ok);
    }

    void pictureAndTitle() {
        QTemporaryDir dir;
        QVERIFY(QImage(120, 90, QImage::Format_RGB32).save(dir.filePath(QStringLiteral("about.png"))));
        test::ScriptedPrompter prompter;
        AboutBox box(dir.filePath(QStringLiteral("about.png")), prompter);
        QCOMPARE(backgroundPictureSize(&box), QSize(120, 90));
        // The title's face differs between desktops; its size comes down until the name fits.
        auto* title = box.findChild<QLabel*>(QStringLiteral("Label2"));
        const QFontMetrics metrics(title->font());
        QVERIFY(metrics.horizontalAdvance(title->text()) <= title->width() &&
                metrics.height() <= title->height());
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
