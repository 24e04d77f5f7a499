#include "support/scriptedprompter.h"

namespace zq2::test {

Answer ScriptedPrompter::ask(const QString& text, Buttons buttons, const QString& title) {
    asked.append({text, buttons, title});
    if (answers_.isEmpty()) {
        ++unexpected;
        return buttons == Buttons::YesNo ? Answer::No
                                         : (buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel);
    }
    return answers_.takeFirst();
}

std::optional<QString> ScriptedPrompter::openFile(const QString&, const QString&) {
    if (files_.isEmpty()) {
        ++unexpected;
        return std::nullopt;
    }
    return files_.takeFirst();
}

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const Question& q : asked)
        out << q.text;
    return out;
}

} // namespace zq2::test
