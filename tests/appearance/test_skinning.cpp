#include "appearance/colours.h"
#include "appearance/widgets/skinning.h"
#include "support/tempfiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

namespace {

const QColor kPictureColour(10, 200, 30);

QString writePicture(const QTemporaryDir& dir, const QString& name, QSize size, const char* format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kPictureColour);
    const QString path = dir.filePath(name);
    if (!image.save(path, format))
        return {};
    return path;
}

// A BMP header that declares a picture of width x height at 32 bits a pixel, followed by no pixels.
QByteArray bmpHeader(qint32 width, qint32 height) {
    QByteArray b;
    auto put16 = [&b](quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
    auto put32 = [&b](quint32 v) {
        for (int i = 0; i < 4; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
    };
    b.append("BM");
    put32(54 + quint32(width) * quint32(height) * 4);
    put32(0);
    put32(54);
    put32(40);
    put32(quint32(width));
    put32(quint32(height));
    put16(1);
    put16(32);
    put32(0);
    put32(0);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    return b;
}

QColor pixelAt(QWidget* widget, QPoint at) {
    return widget->grab().toImage().pixelColor(at);
}

} // namespace

class TestSkinning : public QObject {
    Q_OBJECT

private slots:
    void picture_data();
    void picture();
    void pictureAboveTheMemoryLimitIsRefused();
    void pictureLiesBehindControlsInTheClientArea();
    void pictureIsRemoved_data();
    void pictureIsRemoved();
    void labelsLetThePictureThrough();
    void backColour_data();
    void backColour();
    void faceColourIgnoresColouredFrame();
    void mainWindowSkin();
};

void TestSkinning::picture_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // the file's bytes; a null array: a picture drawn in `format`
    QTest::addColumn<QByteArray>("format"); // empty: no file at all
    QTest::addColumn<QSize>("shown");

    const QByteArray drawn;
    QTest::newRow("png") << "a.png" << drawn << QByteArray("PNG") << QSize(40, 30);
    QTest::newRow("bmp") << "a.bmp" << drawn << QByteArray("BMP") << QSize(40, 30);
    QTest::newRow("jpeg") << "a.jpg" << drawn << QByteArray("JPEG") << QSize(40, 30);
    QTest::newRow("png named bmp") << "a.bmp" << drawn << QByteArray("PNG") << QSize(40, 30);
    QTest::newRow("missing file") << "a.png" << drawn << QByteArray() << QSize();
    QTest::newRow("not a picture") << "text.png" << QByteArray("just some words\r\n") << QByteArray()
                                   << QSize();
    QTest::newRow("empty file") << "empty.bmp" << QByteArray("") << QByteArray() << QSize();
    QTest::newRow("huge declared bmp") << "huge.bmp" << bmpHeader(30000, 30000) << QByteArray() << QSize();
}

void TestSkinning::picture() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, format);
    QFETCH(QSize, shown);

    QTemporaryDir dir;
    if (!bytes.isNull())
        test::writeFile(dir.path(), name, bytes);
    else if (!format.isEmpty())
        QVERIFY(!writePicture(dir, name, QSize(40, 30), format.constData()).isEmpty());

    QDialog window;
    window.setFixedSize(306, 240);
    setBackgroundPicture(&window, dir.filePath(name));
    QCOMPARE(backgroundPictureSize(&window), shown);
    QCOMPARE(window.size(), QSize(306, 240));
}

void TestSkinning::pictureAboveTheMemoryLimitIsRefused() {
    // A valid picture of 5000 x 5000 one-bit pixels: a small file, but 100 MB once shown on screen.
    QTemporaryDir dir;
    QImage mono(5000, 5000, QImage::Format_Mono);
    mono.fill(0);
    const QString path = dir.filePath(QStringLiteral("wide.png"));
    QVERIFY(mono.save(path, "PNG"));
    QDialog window;
    setBackgroundPicture(&window, path);
    QCOMPARE(backgroundPictureSize(&window), QSize());
}

void TestSkinning::pictureLiesBehindControlsInTheClientArea() {
    QTemporaryDir dir;
    const QString path = writePicture(dir, QStringLiteral("m.png"), QSize(100, 80), "PNG");
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"));
    auto* central = new QWidget;
    window.setCentralWidget(central);
    auto* button = new QWidget(central);
    button->setGeometry(20, 20, 10, 10);
    button->setAutoFillBackground(true);
    QPalette red;
    red.setColor(QPalette::Window, Qt::red);
    button->setPalette(red);
    window.resize(361, 420);

    setBackgroundPicture(&window, path);
    QCOMPARE(backgroundPictureSize(&window), QSize(100, 80));
    QCOMPARE(pixelAt(central, QPoint(0, 0)), kPictureColour);
    QCOMPARE(pixelAt(central, QPoint(99, 79)), kPictureColour);
    QVERIFY(pixelAt(central, QPoint(100, 40)) != kPictureColour); // not stretched or tiled
    QVERIFY(pixelAt(central, QPoint(40, 80)) != kPictureColour);
    QCOMPARE(pixelAt(central, QPoint(25, 25)), QColor(Qt::red)); // controls stay on top
}

void TestSkinning::pictureIsRemoved_data() {
    QTest::addColumn<QString>("second");
    QTest::newRow("empty path") << "";
    QTest::newRow("missing file") << "gone.png";
    QTest::newRow("folder") << ".";
}

void TestSkinning::pictureIsRemoved() {
    QFETCH(QString, second);
    QTemporaryDir dir;
    const QString path = writePicture(dir, QStringLiteral("a.png"), QSize(30, 30), "PNG");
    QDialog window;
    window.resize(200, 200);
    setBackgroundPicture(&window, path);
    setBackgroundPicture(&window, path); // a second picture replaces the first, it is not stacked
    QCOMPARE(window.findChildren<QObject*>(QStringLiteral("zq2SkinPicture")).size(), 1);
    setBackgroundPicture(&window, second.isEmpty() ? QString() : dir.filePath(second));
    QCOMPARE(backgroundPictureSize(&window), QSize());
    QVERIFY(pixelAt(&window, QPoint(1, 1)) != kPictureColour);
}

void TestSkinning::labelsLetThePictureThrough() {
    QTemporaryDir dir;
    const QString path = writePicture(dir, QStringLiteral("a.png"), QSize(100, 100), "PNG");
    QDialog window;
    window.resize(120, 120);
    auto* label = new QLabel(QStringLiteral(" "), &window);
    label->setGeometry(10, 10, 40, 20);
    label->setAutoFillBackground(true);
    setBackgroundPicture(&window, path);
    QVERIFY(!label->autoFillBackground());
    QCOMPARE(pixelAt(&window, QPoint(12, 12)), kPictureColour);
}

void TestSkinning::backColour_data() {
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QColor>("expected");
    const QColor face = QApplication::palette().color(QPalette::Window);
    QTest::newRow("red") << 0xFFu << QColor(255, 0, 0);
    QTest::newRow("blue") << 0xFF0000u << QColor(0, 0, 255);
    QTest::newRow("black") << 0u << QColor(0, 0, 0);
    QTest::newRow("face colour") << 0x8000000Fu << face;
    QTest::newRow("invalid is face") << 0x1000000u << face;
}

void TestSkinning::backColour() {
    QFETCH(quint32, value);
    QFETCH(QColor, expected);
    QDialog window;
    window.resize(200, 200);
    auto* frame = new QGroupBox(QStringLiteral("File Info:"), &window);
    frame->setGeometry(8, 8, 169, 81);
    auto* box = new QCheckBox(QStringLiteral("Use Skin"), &window);
    box->setGeometry(8, 100, 150, 17);
    setBackColour(frame, 0x00FF00); // an earlier skin's colour must not linger
    setBackColour(frame, value);
    setBackColour(box, value);
    QCOMPARE(frame->palette().color(frame->backgroundRole()), expected);
    QCOMPARE(box->palette().color(box->backgroundRole()), expected);
    QCOMPARE(pixelAt(&window, QPoint(8 + 150, 8 + 3)), expected);
    QCOMPARE(pixelAt(&window, QPoint(8 + 140, 100 + 8)), expected);
    setBackColour(nullptr, value); // no control, nothing to do
}

void TestSkinning::faceColourIgnoresColouredFrame() {
    QDialog window;
    auto* frame = new QGroupBox(QStringLiteral("Zeno 2 files"), &window);
    auto* box = new QCheckBox(QStringLiteral("Levels"), frame);
    setBackColour(frame, 0xFF);
    setBackColour(box, kFaceColour);
    QCOMPARE(box->palette().color(box->backgroundRole()), QApplication::palette(box).color(QPalette::Window));
}

void TestSkinning::mainWindowSkin() {
    QTemporaryDir dir;
    const QString path = writePicture(dir, QStringLiteral("m.png"), QSize(60, 50), "PNG");
    QMainWindow window;
    auto* central = new QWidget;
    window.setCentralWidget(central);
    auto* frame1 = new QGroupBox(central);
    auto* frame2 = new QGroupBox(central);

    applyMainWindowSkin(&window, MainWindowSkin{path, 0xFFu, 0xFF0000u}, frame1, frame2);
    QCOMPARE(backgroundPictureSize(&window), QSize(60, 50));
    QCOMPARE(frame1->palette().color(QPalette::Window), QColor(255, 0, 0));
    QCOMPARE(frame2->palette().color(QPalette::Window), QColor(0, 0, 255));

    // A skin of one line changes only the picture.
    applyMainWindowSkin(&window, MainWindowSkin{QString(), std::nullopt, std::nullopt}, frame1, frame2);
    QCOMPARE(backgroundPictureSize(&window), QSize());
    QCOMPARE(frame1->palette().color(QPalette::Window), QColor(255, 0, 0));

    applyMainWindowSkin(&window, MainWindowSkin{path, std::nullopt, 0x0u}, frame1, frame2);
    turnOffMainWindowSkin(&window, frame1, frame2);
    const QColor face = QApplication::palette().color(QPalette::Window);
    QCOMPARE(backgroundPictureSize(&window), QSize());
    QCOMPARE(frame1->palette().color(QPalette::Window), face);
    QCOMPARE(frame2->palette().color(QPalette::Window), face);
}

QTEST_MAIN(TestSkinning)
#include "test_skinning.moc"
