#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace zq2 {

// Tells whether another copy of the program is running. The key is the executable's path, so two
// installations in different folders do not block each other. The lock is a file in the user's
// runtime (or temp) folder; a lock left by a copy that crashed is recognised as stale and taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString& executablePath, const QString& lockFolder = defaultLockFolder());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this copy is the only one; it then holds the lock until it is destroyed.
    bool tryAcquire();
    QString lockPath() const;

    static QString defaultLockFolder();

private:
    std::unique_ptr<QLockFile> lock_;
    QString path_;
};

} // namespace zq2
