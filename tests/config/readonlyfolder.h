#pragma once

#include <QFile>
#include <QString>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace zq2::test {

// Makes `folder` read-only for as long as it lives. A root user writes through folder permissions,
// so for root the permission-override capabilities are also taken out of the effective set and
// given back at the end.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder)
        : folder_(folder) {
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
#ifdef Q_OS_LINUX
        if (geteuid() == 0 && syscall(SYS_capget, &header_, saved_) == 0) {
            __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
            reduced[0].effective &=
                ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
            dropped_ = syscall(SYS_capset, &header_, reduced) == 0;
        }
#endif
    }
    ~ReadOnlyFolder() {
#ifdef Q_OS_LINUX
        if (dropped_)
            syscall(SYS_capset, &header_, saved_);
#endif
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Whether writing into the folder really fails here (it may not on every system).
    bool holds() const {
        QFile probe(folder_ + QStringLiteral("/probe"));
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.remove();
        return false;
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QString folder_;
#ifdef Q_OS_LINUX
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
#endif
};

} // namespace zq2::test
