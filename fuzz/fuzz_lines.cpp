// The line reader of the two ini files and the skin files: any bytes, any limits, any way the bytes
// arrive, give the lines that the text files' rules make of them.
#include "fuzzsupport.h"
#include "platform/textlines.h"

#include <QIODevice>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>

namespace {

// Hands out at most `piece` bytes a read, so that line ends fall across the reader's reads.
class TrickleDevice final : public QIODevice {
public:
    TrickleDevice(QByteArray bytes, qint64 piece)
        : bytes_(std::move(bytes))
        , piece_(piece) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* out, qint64 max) override {
        const qint64 n = std::min({max, piece_, qint64(bytes_.size()) - at_});
        std::memcpy(out, bytes_.constData() + at_, size_t(n));
        at_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes_;
    qint64 piece_;
    qint64 at_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    zq2::LineLimits limits;
    limits.maxLines = input.ConsumeIntegralInRange<int>(-1, 12);
    limits.maxLineBytes = input.ConsumeIntegralInRange<qsizetype>(0, 40);
    limits.maxTotalBytes = input.ConsumeIntegralInRange<qint64>(0, 5000);
    const qint64 piece = input.ConsumeIntegralInRange<qint64>(1, 64);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray bytes(rest.data(), qsizetype(rest.size()));

    TrickleDevice device(bytes, piece);
    const QList<QByteArray> got = zq2::readLines(device, limits);

    // The lines of the bytes within the byte limit, as many as asked for, each cut at the line limit.
    QList<QByteArray> expected =
        zq2::fuzz::plainLines(bytes.first(std::min<qint64>(bytes.size(), limits.maxTotalBytes)));
    expected.resize(std::clamp<qsizetype>(limits.maxLines, 0, expected.size()));
    for (QByteArray& line : expected)
        line.truncate(limits.maxLineBytes);
    FUZZ_CHECK(got == expected);
    return 0;
}
