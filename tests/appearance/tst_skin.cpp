#include "appearance/colours.h"
#include "appearance/skinfile.h"
#include "appearance/widgets/skinning.h"
#include "platform/filenames.h"
#include "platform/paths.h"
#include "support/faults.h"
#include "support/tempfiles.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

namespace {

const QString kApp = QStringLiteral("APPDIR");
const QString kAbsolute = QDir::rootPath() + QStringLiteral("pics/r.bmp");
// Ten lines; pictures are named relative to the program's folder, never the skin's, unless full paths.
const QByteArray kTen = "m.png\r\n\r\n00FF00\r\np.png\r\nDBEEE3\r\n\r\n" + kAbsolute.toLocal8Bit() +
                        "\r\nEFE0E6\r\n8000000F\r\na.png";
// Values no skin line would produce, so that a value the reader must not touch shows up.
const SkinValues kMarked{"prefs", 0x123456, "settings", "restore", 0x234567, 0x345678, "about"};
const QColor kPic(10, 200, 30);

QString inApp(const char* name) {
    return joinPath(kApp, QLatin1String(name));
}

// The main window's part ("-" for a line the file lacks), then the dialogs' values.
QStringList describe(const MainWindowSkin& m, const SkinValues& v) {
    auto hex = [](std::optional<ColourValue> c) { return c ? QString::number(*c, 16) : QStringLiteral("-"); };
    return {m.picture.value_or("-"), hex(m.frame1),        hex(m.frame2),
            v.prefsPicture,          hex(v.prefsColour),   v.settingsPicture,
            v.restorePicture,        hex(v.restoreColour), hex(v.restoreOverwriteColour),
            v.aboutPicture};
}

QByteArray encoded(QSize size, const char* format, QImage::Format pixels = QImage::Format_RGB32) {
    QImage image(size, pixels);
    image.fill(kPic);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

// For "<pipe>", "<link>" or "<device>": a named pipe, a link to one, or a device, which a skin may
// name as its file or a picture and which must neither block nor wake: they read as missing files.
// For anything else: folder/name, holding `bytes` unless they are null.
QString skinPath(const QString& folder, const QString& name, const QByteArray& bytes) {
    if (bytes == "<device>")
        return QStringLiteral("/dev/ptmx");
    if (bytes.startsWith('<')) {
        test::makeFifo(folder + "/pipe");
        return QFile::link("pipe", folder + "/link") ? folder + '/' + bytes.mid(1).chopped(1) : QString();
    }
    if (!bytes.isNull())
        test::writeFile(folder, name, bytes);
    return folder + '/' + name;
}

} // namespace

class TestSkin : public QObject {
    Q_OBJECT

private slots:
    void loadSkin_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: no skin file at all
        QTest::addColumn<int>("lines");        // how many of the ten lines of kTen take effect
        QTest::newRow("ten lines") << kTen << 10;
        QTest::newRow("three lines keep dialog values") << QByteArray("m.png\r\n\r\n00FF00\r\n") << 3;
        QTest::newRow("missing file") << QByteArray() << 0;
        for (const char* special : {"<pipe>", "<link>", "<device>"})
            QTest::newRow(special) << QByteArray(special) << 0;
    }

    void loadSkin() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, lines);
        QTemporaryDir dir;
        const QString path = skinPath(dir.path(), "s.skn", bytes);
        if (!QFileInfo::exists(path) && !bytes.isNull())
            QSKIP("no such device here");
        SkinValues v = kMarked;
        test::HangGuard guard;
        const MainWindowSkin skin = loadSkinFile(path, kApp, v);
        const QStringList ten = {inApp("m.png"), "0",       "ff00",   inApp("p.png"), "dbeee3",
                                 inApp(""),      kAbsolute, "efe0e6", "8000000f",     inApp("a.png")};
        QCOMPARE(describe(skin, v), ten.mid(0, lines) + describe({}, kMarked).mid(lines));
        turnOffSkin(v); // the design look for the dialogs; the main window's part is not the dialogs'
        QCOMPARE(describe({}, v).mid(3), (QStringList{"", "8000000f", "", "", "8000000f", "8000000f", ""}));
    }

    // Skins made on Windows: a picture line that is not a full path is followed from the program's
    // folder with "\" as a separator, each part found in whatever letter case the folder has it.
    // The program's folder, the makefile's name and the lines may hold bytes that are not UTF-8.
    void picturePaths_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("files"); // in the program's folder, decoded as names are
        QTest::addColumn<QString>("picture");   // the path taken, under the program's folder
        auto row = [](const char* tag, const QByteArray& line, const QStringList& files,
                      const char* picture) {
            QTest::newRow(tag) << line << files << decodeFileName(picture);
        };
        row("backslashes, other letter case", "skins\\sample\\main.png", {"Skins/Sample/Main.PNG"},
            "Skins/Sample/Main.PNG");
        row("exact spelling first", "pics\\m.png", {"pics/M.png", "pics/m.png"}, "pics/m.png");
        row("both separators", "Pics/sub\\M.png", {"pics/Sub/m.png"}, "pics/Sub/m.png");
        row("missing part and the rest as written", "SKINS\\none\\x.png", {"skins/a.png"},
            "skins/none/x.png");
        row("drive letter from the program's folder", "C:\\pics\\a.bmp", {}, "C:/pics/a.bmp");
        row("bytes not UTF-8", "caf\xE9\\M\xE9.png", {decodeFileName("CAF\xE9/m\xE9.png")},
            "CAF\xE9/m\xE9.png");
    }
    void picturePaths() {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, files);
        QFETCH(QString, picture);
        test::TempDir dir;
        const QString app = dir.filePath(decodeFileName("Zeno \xE9"));
        for (const QString& file : files)
            test::writeFile(app, file, "p");
        const QString skin = joinPath(app, decodeFileName("caf\xE9.skn"));
        test::writeFile(app, decodeFileName("caf\xE9.skn"), line + "\r\n0\r\n0\r\n" + line);
        SkinValues values;
        const MainWindowSkin main = loadSkinFile(skin, app, values);
        QCOMPARE(main.picture.value_or("-"), joinPath(app, picture));
        QCOMPARE(values.prefsPicture, joinPath(app, picture));
    }

    void picture_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null: no such file
        QTest::addColumn<QSize>("shown");
        const QSize s(40, 30);
        QTest::newRow("png named bmp") << "a.bmp" << encoded(s, "PNG") << s;
        // Small on disk, 100 MB once decoded.
        QTest::newRow("too big") << "big.png" << encoded({5000, 5000}, "PNG", QImage::Format_Mono) << QSize();
        QTest::newRow("not a picture") << "text.png" << QByteArray("just some words\r\n") << QSize();
        QTest::newRow("missing file") << "a.png" << QByteArray() << QSize();
        for (const char* special : {"<pipe>", "<link>", "<device>"})
            QTest::newRow(special) << "" << QByteArray(special) << QSize();
    }

    void picture() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, shown);
        QTemporaryDir dir;
        test::writeFile(dir.path(), QStringLiteral("old.png"), encoded({10, 10}, "PNG"));
        const QString path = skinPath(dir.path(), name, bytes);
        if (!QFileInfo::exists(path) && !bytes.isNull())
            QSKIP("no such device here");
        QDialog window;
        window.resize(306, 240);
        // A new picture replaces the one shown; one that cannot be shown leaves none.
        setBackgroundPicture(&window, dir.filePath(QStringLiteral("old.png")));
        test::HangGuard guard;
        setBackgroundPicture(&window, path);
        QCOMPARE(backgroundPictureSize(&window), shown);
        QCOMPARE(window.size(), QSize(306, 240));
    }

    void mainWindowSkinAndTurningItOff() {
        QTemporaryDir dir;
        test::writeFile(dir.path(), QStringLiteral("m.png"), encoded({100, 80}, "PNG"));
        const MainWindowSkin full{dir.filePath(QStringLiteral("m.png")), 0xFFu, 0xFF0000u};
        QMainWindow window;
        auto* area = new QWidget;
        window.setCentralWidget(area);
        auto* frame = new QGroupBox(area);
        frame->setGeometry(20, 20, 60, 40);
        // The check box lies in the frame, so that a face colour taken from the frame around it shows.
        auto* box = new QCheckBox(QStringLiteral("x"), frame);
        box->setGeometry(0, 20, 60, 20);
        auto* label = new QLabel(QStringLiteral(" "), area);
        label->setGeometry(85, 20, 10, 10);
        label->setAutoFillBackground(true);
        window.resize(361, 420);
        // Corners of the picture, just past its edges, the box, the frame, the label, and a point far off.
        auto shown = [&] {
            QList<QColor> out;
            for (QPoint p : {QPoint(0, 0), QPoint(99, 79), QPoint(100, 40), QPoint(40, 80), QPoint(75, 50),
                             QPoint(50, 21), QPoint(88, 25), QPoint(300, 300)})
                out << area->grab().toImage().pixelColor(p);
            return out;
        };
        const QColor plain = shown().last(), red(255, 0, 0), blue(0, 0, 255);
        // At its own size from the client area's top-left corner, behind controls; labels let it through.
        applyMainWindowSkin(&window, full, box, frame);
        QCOMPARE(shown(), (QList{kPic, kPic, plain, plain, red, blue, kPic, plain}));
        // A skin of one line changes only the picture.
        applyMainWindowSkin(&window, MainWindowSkin{QString(), {}, {}}, box, frame);
        QCOMPARE(shown(), (QList{plain, plain, plain, plain, red, blue, plain, plain}));
        // A picture that cannot be read shows none, and the colours still apply.
        applyMainWindowSkin(&window, MainWindowSkin{dir.filePath("gone.png"), 0xFF0000u, 0xFFu}, box, frame);
        QCOMPARE(shown(), (QList{plain, plain, plain, plain, blue, red, plain, plain}));
        applyMainWindowSkin(&window, full, box, frame);
        turnOffMainWindowSkin(&window, box, frame);
        const QColor face = QApplication::palette().color(QPalette::Window);
        QCOMPARE(shown(), (QList{plain, plain, plain, plain, face, face, plain, plain}));
    }
};

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
