#include "platform/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace zq2 {

bool isAbsoluteSettingPath(const QString& text) {
#ifdef Q_OS_WIN
    return text.size() >= 2 && text.at(1) == QLatin1Char(':');
#else
    return text.startsWith(QLatin1Char('/'));
#endif
}

QString joinPath(const QString& folder, const QString& name) {
    return folder + QDir::separator() + name;
}

QString cacheDirOf(const QString& gameDir) {
    if (gameDir.isEmpty())
        return {};
    return joinPath(gameDir, QStringLiteral("cache"));
}

QString displayPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

std::optional<QString> findFileIgnoringCase(const QString& folder, const QString& name) {
    if (folder.isEmpty() || name.isEmpty() || name.contains(QLatin1Char('/')))
        return std::nullopt;
    const QString exact = joinPath(folder, name);
    if (QFileInfo(exact).isFile())
        return exact;
#ifdef Q_OS_WIN
    return std::nullopt;
#else
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().compare(name, Qt::CaseInsensitive) == 0 && it.fileInfo().isFile())
            return it.filePath();
    }
    return std::nullopt;
#endif
}

QStringList otherSpellings(const QString& folder, const QString& name) {
    QStringList others;
    bool exactSeen = false;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString found = it.fileName();
        if (found == name)
            exactSeen = true;
        else if (found.compare(name, Qt::CaseInsensitive) == 0 && it.fileInfo().isFile())
            others << it.filePath();
    }
    return exactSeen ? others : QStringList();
}

} // namespace zq2
