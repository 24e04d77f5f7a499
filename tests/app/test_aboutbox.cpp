#include "app/widgets/aboutbox.h"
#include "appearance/widgets/skinning.h"
#include "support/scriptedprompter.h"

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

class TestAboutBox : public QObject {
    Q_OBJECT

private slots:
    void design();
    void textsFitTheirPlaces();
    void hiddenMessage_data();
    void hiddenMessage();
    void clicksElsewhereShowNothing();
    void backgroundPicture();
    void okCloses();
};

void TestAboutBox::design() {
    test::ScriptedPrompter prompter;
    AboutBox box(QString(), prompter);
    QCOMPARE(box.objectName(), QStringLiteral("zq2About"));
    QCOMPARE(box.windowTitle(), QStringLiteral("About Zeno 2 Organizer"));
    QCOMPARE(box.size(), QSize(306, 240));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(!(box.windowFlags() & Qt::WindowContextHelpButtonHint));

    auto* icon = box.findChild<QLabel*>(QStringLiteral("Image1"));
    auto* credits = box.findChild<QLabel*>(QStringLiteral("Image2"));
    QVERIFY(icon && credits);
    QCOMPARE(icon->pixmap().size(), QSize(32, 32));
    QCOMPARE(credits->pixmap().size(), QSize(257, 89));
    QCOMPARE(box.findChild<QLabel*>(QStringLiteral("Label3"))->text(), QStringLiteral("Version: 1.0"));

    auto* ok = box.findChild<QPushButton*>(QStringLiteral("okButton"));
    QVERIFY(ok);
    QVERIFY(ok->isDefault());
    for (QWidget* child : box.findChildren<QWidget*>()) {
        QCOMPARE(child->focusPolicy() != Qt::NoFocus, child == ok);
        QVERIFY2(!child->accessibleName().isEmpty(), qPrintable(child->objectName()));
    }
}

void TestAboutBox::textsFitTheirPlaces() {
    test::ScriptedPrompter prompter;
    AboutBox box(QString(), prompter);
    auto* name = box.findChild<QLabel*>(QStringLiteral("Label2"));
    QCOMPARE(name->text(), QStringLiteral("Zeno 2 Organizer"));
    QVERIFY(name->font().bold());
    const QFontMetrics nameMetrics(name->font());
    QVERIFY(nameMetrics.horizontalAdvance(name->text()) <= name->width());
    QVERIFY(nameMetrics.height() <= name->height());

    auto* notice = box.findChild<QLabel*>(QStringLiteral("Label1"));
    QVERIFY(notice->wordWrap());
    QVERIFY(notice->heightForWidth(notice->width()) <= notice->height());
}

void TestAboutBox::hiddenMessage_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("keys");
    QTest::addColumn<bool>("asks");
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    QTest::newRow("ctrl left") << Qt::LeftButton << ctrl << true;
    QTest::newRow("ctrl right") << Qt::RightButton << ctrl << true;
    QTest::newRow("ctrl middle") << Qt::MiddleButton << ctrl << true;
    QTest::newRow("ctrl with keypad flag") << Qt::LeftButton << (ctrl | Qt::KeypadModifier) << true;
    QTest::newRow("plain click") << Qt::LeftButton << Qt::KeyboardModifiers() << false;
    QTest::newRow("ctrl shift") << Qt::LeftButton << (ctrl | Qt::ShiftModifier) << false;
    QTest::newRow("alt") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::AltModifier) << false;
    QTest::newRow("ctrl alt") << Qt::RightButton << (ctrl | Qt::AltModifier) << false;
    QTest::newRow("shift") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
}

void TestAboutBox::hiddenMessage() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, keys);
    QFETCH(bool, asks);

    test::ScriptedPrompter prompter;
    prompter.answer(Answer::Ok);
    AboutBox box(QString(), prompter);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    // Through a real mouse press on the icon, so that the event reaches the handler as the user's would.
    QTest::mousePress(box.findChild<QLabel*>(QStringLiteral("Image1")), button, keys, QPoint(5, 5));

    if (asks) {
        QCOMPARE(prompter.asked.size(), 1);
        QCOMPARE(prompter.asked.first().text, QStringLiteral("God rules! =)"));
        QCOMPARE(prompter.asked.first().buttons, Buttons::Ok);
        QCOMPARE(prompter.asked.first().title, QStringLiteral("Zeno 2 Organizer"));
        QVERIFY(box.isVisible());
    } else {
        QCOMPARE(prompter.asked.size(), 0);
    }
}

void TestAboutBox::clicksElsewhereShowNothing() {
    test::ScriptedPrompter prompter;
    AboutBox box(QString(), prompter);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    for (const char* name : {"Image2", "Label1", "Label2", "Label3"})
        QTest::mousePress(box.findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton, Qt::ControlModifier,
                          QPoint(3, 3));
    QTest::mousePress(&box, Qt::LeftButton, Qt::ControlModifier, QPoint(300, 5));
    QCOMPARE(prompter.asked.size(), 0);
}

void TestAboutBox::backgroundPicture() {
    QTemporaryDir dir;
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString path = dir.filePath(QStringLiteral("about.png"));
    QVERIFY(image.save(path));

    test::ScriptedPrompter prompter;
    AboutBox plain(QString(), prompter);
    QCOMPARE(backgroundPictureSize(&plain), QSize());
    AboutBox skinned(path, prompter);
    QCOMPARE(backgroundPictureSize(&skinned), QSize(120, 90));
    QCOMPARE(skinned.size(), QSize(306, 240));
}

void TestAboutBox::okCloses() {
    test::ScriptedPrompter prompter;
    AboutBox box(QString(), prompter);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(box.result(), int(QDialog::Accepted));
    QVERIFY(!box.isVisible());
    QCOMPARE(prompter.unexpected, 0);
}

QTEST_MAIN(TestAboutBox)
#include "test_aboutbox.moc"
