#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace zq2 {

// Tells whether another copy of the program is running, and where that copy takes files handed to
// it. The key is the executable's path, so two installations in different folders do not block
// each other. The lock and the socket lie in a folder of the user's own (see userRuntimeFolder): a
// copy run by another user never blocks this one and is never handed anything. A lock left by a
// copy that crashed is recognised as stale and taken over.
class SingleInstance {
public:
    // An empty `folder` means there is no private folder to use: every copy then counts as the
    // only one, and none takes files from others.
    explicit SingleInstance(const QString& executablePath, const QString& folder = userRuntimeFolder());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this copy is the only one; it then holds the lock until it is destroyed.
    bool tryAcquire();
    QString lockPath() const;
    // Where the running copy listens for files (a local socket's path, a pipe's name on Windows);
    // empty when there is no folder to use.
    QString socketPath() const;

    // The user's private runtime folder: $XDG_RUNTIME_DIR when it is a folder owned by this user that
    // nobody else may enter, else <temp>/zq2org-<user id>, made so when missing and checked the same
    // way. Empty when neither qualifies: a folder that another user made or may write in is never used.
    static QString userRuntimeFolder();

private:
    std::unique_ptr<QLockFile> lock_;
    QString lockPath_;
    QString socketPath_;
};

} // namespace zq2
