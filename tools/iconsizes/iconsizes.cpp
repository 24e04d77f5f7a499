// Makes the program's icon at the sizes a desktop icon theme looks for, from the one icon asset:
//   zq2iconsizes <icon.png> <output folder> <icon name> <size>...
// writes <output folder>/<size>x<size>/apps/<icon name>.png for each size.
//
// The asset is small pixel art. Smooth scaling straight up would blur it, so it is first enlarged by
// whole pixels (each pixel becomes a square block) to the nearest multiple at or above the size
// asked for, and only then scaled down smoothly to that size.
#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>

namespace {

QImage iconAt(const QImage& source, int size) {
    const int factor = (size + source.width() - 1) / source.width();
    QImage image = source;
    if (factor > 1)
        image = source.scaled(source.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (image.width() != size)
        image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

int fail(const QString& message) {
    std::fprintf(stderr, "zq2iconsizes: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5)
        return fail(QStringLiteral("usage: zq2iconsizes <icon.png> <output folder> <icon name> <size>..."));
    const QString sourcePath = QString::fromLocal8Bit(argv[1]);
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);

    QImage source(sourcePath);
    if (source.isNull())
        return fail(QStringLiteral("could not read the picture %1").arg(sourcePath));
    if (source.width() != source.height())
        return fail(QStringLiteral("%1 is not square (%2 x %3)")
                        .arg(sourcePath)
                        .arg(source.width())
                        .arg(source.height()));
    source = source.convertToFormat(QImage::Format_ARGB32);

    for (int i = 4; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 1024)
            return fail(QStringLiteral("not an icon size: %1").arg(QString::fromLocal8Bit(argv[i])));
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(folder))
            return fail(QStringLiteral("could not make the folder %1").arg(folder));
        if (!iconAt(source, size).save(path, "PNG"))
            return fail(QStringLiteral("could not write %1").arg(path));
    }
    return 0;
}
