// Renders the program's icon at the sizes a desktop icon theme looks for, from its vector picture:
//   zq2iconsizes <icon.svg> <output folder> <icon name> <size>...
// writes <output folder>/<size>x<size>/apps/<icon name>.png for each size, and the picture itself
// as <output folder>/scalable/apps/<icon name>.svg.
//
// Each size is drawn afresh from the shapes, so a large icon is as sharp as a small one.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>

namespace {

QImage iconAt(QSvgRenderer& renderer, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

int fail(const QString& message) {
    std::fprintf(stderr, "zq2iconsizes: %s\n", qPrintable(message));
    return 1;
}

bool makeFolder(const QString& folder) {
    return QDir().mkpath(folder);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5)
        return fail(QStringLiteral("usage: zq2iconsizes <icon.svg> <output folder> <icon name> <size>..."));
    const QString sourcePath = QString::fromLocal8Bit(argv[1]);
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);

    QSvgRenderer renderer(sourcePath);
    if (!renderer.isValid())
        return fail(QStringLiteral("could not read the picture %1").arg(sourcePath));
    const QSize drawn = renderer.defaultSize();
    if (drawn.width() != drawn.height())
        return fail(QStringLiteral("%1 is not square (%2 x %3)")
                        .arg(sourcePath)
                        .arg(drawn.width())
                        .arg(drawn.height()));

    const QString scalable = outDir + QStringLiteral("/scalable/apps");
    const QString svgCopy = scalable + QLatin1Char('/') + name + QStringLiteral(".svg");
    QFile::remove(svgCopy);
    if (!makeFolder(scalable) || !QFile::copy(sourcePath, svgCopy))
        return fail(QStringLiteral("could not write %1").arg(svgCopy));

    for (int i = 4; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 1024)
            return fail(QStringLiteral("not an icon size: %1").arg(QString::fromLocal8Bit(argv[i])));
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!makeFolder(folder))
            return fail(QStringLiteral("could not make the folder %1").arg(folder));
        if (!iconAt(renderer, size).save(path, "PNG"))
            return fail(QStringLiteral("could not write %1").arg(path));
    }
    return 0;
}
