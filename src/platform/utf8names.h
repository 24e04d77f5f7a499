#pragma once

namespace zq2 {

// Makes the member names that libarchive hands out on the calling thread UTF-8, whatever the
// process's locale, for as long as it lives. libarchive converts names to the locale's character
// set, and a program started without a UTF-8 locale (LANG unset, LC_ALL=C) would otherwise get no
// name at all for every member beyond ASCII. Names stored as plain bytes (tar) stay as stored.
class Utf8NamesOnThisThread {
public:
    Utf8NamesOnThisThread();
    ~Utf8NamesOnThisThread();
    Utf8NamesOnThisThread(const Utf8NamesOnThisThread&) = delete;
    Utf8NamesOnThisThread& operator=(const Utf8NamesOnThisThread&) = delete;

private:
    void* previous_ = nullptr; // the thread's locale before, on POSIX systems
};

} // namespace zq2
