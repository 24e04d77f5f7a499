#include "platform/utf8names.h"

#include <QtGlobal>

#ifndef Q_OS_WIN
#include <clocale>
#include <locale.h>
#endif

namespace zq2 {

namespace {

#ifndef Q_OS_WIN
// A UTF-8 character type over the program's other locale settings, made once.
locale_t utf8Locale() {
    static const locale_t utf8 = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            const locale_t base = duplocale(LC_GLOBAL_LOCALE);
            if (base == locale_t(nullptr))
                return locale_t(nullptr);
            if (const locale_t made = newlocale(LC_CTYPE_MASK, name, base); made != locale_t(nullptr))
                return made;
            freelocale(base);
        }
        return locale_t(nullptr);
    }();
    return utf8;
}
#endif

} // namespace

Utf8NamesOnThisThread::Utf8NamesOnThisThread() {
#ifndef Q_OS_WIN
    if (const locale_t utf8 = utf8Locale(); utf8 != locale_t(nullptr))
        previous_ = uselocale(utf8);
#endif
}

Utf8NamesOnThisThread::~Utf8NamesOnThisThread() {
#ifndef Q_OS_WIN
    if (previous_)
        uselocale(static_cast<locale_t>(previous_));
#endif
}

} // namespace zq2
