#pragma once

#include "platform/nativepath.h"

#include <QString>

#include <filesystem>

namespace zq2 {

// Whether a dropped file lies in the target folder itself: dropped onto the list it came from, or
// onto the list of the folder it was in all along. Compared as files, so that links, "..", and
// letter case on file systems that ignore it cannot hide that the two folders are one. Files dropped
// together mostly come from one folder, so each folder is compared once, not once per file.
class SameFolder {
public:
    explicit SameFolder(const QString& folder)
        : folder_(toFsPath(folder)) {}

    bool holds(const QString& path) {
        std::filesystem::path parent = toFsPath(path).parent_path();
        if (parent.empty())
            parent = ".";
        if (!checked_ || parent != parent_) {
            std::error_code error;
            same_ = std::filesystem::equivalent(parent, folder_, error);
            parent_ = std::move(parent);
            checked_ = true;
        }
        return same_;
    }

private:
    std::filesystem::path folder_, parent_;
    bool checked_ = false, same_ = false;
};

} // namespace zq2
