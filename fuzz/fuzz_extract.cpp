// Extraction of game files from an archive of any kind, as a drop does it, into a game folder that
// holds a level already. Whatever the archive holds, nothing is written outside the game folder, no
// temporary file is left behind, every file written is a plain game file with a name the game can
// open, within the limits, and the list of names put in place tells exactly what the folder now
// holds. The report names every member on one line. The memory rule is kept by the run's own
// allocation limit (see fuzz_extract.options).
#include "catalogue/namepattern.h"
#include "fileops/droprules.h"
#include "fileops/extractarchive.h"
#include "fuzzsupport.h"
#include "platform/filenames.h"

#include <QDir>
#include <QHash>

#include <filesystem>

using namespace zq2;

namespace {

constexpr qint64 kFileBytes = 256 * 1024;

ExtractLimits fuzzLimits() {
    ExtractLimits limits;
    limits.fileBytes = kFileBytes;
    limits.totalBytes = 1 << 20;
    limits.newFiles = 40;
    limits.members = 2000;
    return limits;
}

// The entries of a folder as the file system names them, with their kinds.
QHash<QString, std::filesystem::file_type> entriesOf(const QString& folder) {
    QHash<QString, std::filesystem::file_type> entries;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(encodeFileName(folder).toStdString(), error))
        entries.insert(decodeFileName(QByteArray::fromStdString(entry.path().filename().native())),
                       entry.symlink_status(error).type());
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString root = fuzz::scratchFolder();
    const QString game = root + QStringLiteral("/game");
    QDir(game).removeRecursively();
    FUZZ_CHECK(QDir().mkpath(game));
    fuzz::writeScratchFile(QStringLiteral("game/Old.z2l"), "OLD");
    fuzz::writeScratchFile(QStringLiteral("pack"),
                           QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    // Yes and no to the replace questions by turns.
    int questions = 0;
    const AskReplace ask = [&](const QString&, qint64, qint64) { return ++questions % 2 == 1; };
    const ExtractLimits limits = fuzzLimits();
    FolderIndex folder(game);
    const ExtractResult result = extractGameFiles(root + QStringLiteral("/pack"), folder, ask, {}, limits);

    // Nothing beside the game folder and the archive.
    const auto rootEntries = entriesOf(root);
    FUZZ_CHECK(rootEntries.size() == 2 && rootEntries.contains(QStringLiteral("game")) &&
               rootEntries.contains(QStringLiteral("pack")));

    // The folder holds the level it held, less what a member of the same name replaced, and the
    // names put in place: by their last spelling, since a replacement in another letter case
    // leaves only the new one.
    QHash<QString, QString> expected{{foldFileName(QStringLiteral("Old.z2l")), QStringLiteral("Old.z2l")}};
    for (const QString& name : result.extracted)
        expected.insert(foldFileName(name), name);
    const auto entries = entriesOf(game);
    FUZZ_CHECK(entries.size() == expected.size());
    const NamePattern games(defaultListPattern());
    qint64 newFiles = 0;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const QString& name = it.key();
        FUZZ_CHECK(expected.value(foldFileName(name)) == name); // also: no temporary file left
        FUZZ_CHECK(it.value() == std::filesystem::file_type::regular);
        FUZZ_CHECK(games.matches(name) && !name.startsWith(QLatin1Char('.')) &&
                   unusableNameReason(name).isEmpty());
        FUZZ_CHECK(QFileInfo(game + QLatin1Char('/') + name).size() <= kFileBytes);
        newFiles += name != QLatin1String("Old.z2l");
    }
    FUZZ_CHECK(newFiles <= limits.newFiles);

    // One line for the stop, and at most five named failures with a line to count the rest; no name
    // breaks a line or hides a character.
    const QString report = extractionReport(QStringLiteral("pack"), result);
    FUZZ_CHECK(report.count(QLatin1Char('\n')) <= 7);
    for (qsizetype i = 0; i < report.size(); ++i) {
        const char16_t c = report[i].unicode();
        FUZZ_CHECK(c == u'\n' || c >= 0x20);
        FUZZ_CHECK(c != 0x2028 && c != 0x2029 && !(c >= 0x80 && c < 0xA0));
        // Surrogates only in pairs: an undecodable byte is shown as U+FFFD.
        if (QChar::isHighSurrogate(c))
            FUZZ_CHECK(i + 1 < report.size() && report[++i].isLowSurrogate());
        else
            FUZZ_CHECK(!QChar::isLowSurrogate(c));
    }
    return 0;
}
