// The name matcher of the file lists: ";"-separated wildcard patterns, "*" any run of characters and
// "?" one, letter case ignored, a piece ending in ".*" also taken without it, a piece of stars alone
// matching every name. Matched against a plain wildcard matcher written out here, and the matcher of
// names as the file system gives them must agree with the matcher of the decoded text.
#include "catalogue/namepattern.h"
#include "fuzzsupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

using namespace zq2;

namespace {

// Dynamic programming over the characters of the folded texts: no backtracking shortcuts to get wrong.
bool wildcard(const QString& patternText, const QString& nameText) {
    const QList<uint> pattern = patternText.toCaseFolded().toUcs4(), name = nameText.toCaseFolded().toUcs4();
    std::vector<bool> row(size_t(name.size()) + 1, false); // row[j]: pattern so far matches name[0, j)
    row[0] = true;
    for (const uint p : pattern) {
        std::vector<bool> next(row.size(), false);
        for (size_t j = 0; j < row.size(); ++j) {
            if (p == '*')
                next[j] = row[j] || (j > 0 && next[j - 1]);
            else if (j > 0)
                next[j] = row[j - 1] && (p == '?' || p == name.at(qsizetype(j - 1)));
        }
        row = std::move(next);
    }
    return row.back();
}

bool expectedMatch(const QString& patternText, const QString& name) {
    for (const QString& piece : patternText.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QStringList forms{piece};
        if (piece.endsWith(QLatin1String(".*")))
            forms << piece.chopped(2);
        for (const QString& form : forms) {
            const bool starsOnly = !form.isEmpty() && form.count(QLatin1Char('*')) == form.size();
            if (starsOnly ? !name.isEmpty() : wildcard(form, name))
                return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const QString patternText = QString::fromStdString(input.ConsumeRandomLengthString(64));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray encoded(rest.data(), qsizetype(rest.size()));
    const NamePattern pattern(patternText);

    // Names that are not UTF-8 are matched by rules of their own, and the file system has no empty name.
    if (encoded.isEmpty() || !fuzz::isPlainUtf8(encoded))
        return 0;
    const QString name = QString::fromUtf8(encoded);
    const bool matches = pattern.matches(name);
    FUZZ_CHECK(matches == expectedMatch(patternText, name));
    FUZZ_CHECK(pattern.matchesEncoded(encoded) == matches);
    return 0;
}
