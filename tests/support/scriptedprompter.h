#pragma once

#include "platform/prompter.h"

#include <QList>
#include <QString>

namespace zq2::test {

// A prompter that records every question and answers from a script given in advance.
// A question with no scripted answer left is recorded as unexpected and answered Cancel/No.
class ScriptedPrompter final : public Prompter {
public:
    struct Question {
        QString text;
        Buttons buttons;
        QString title;
    };

    using Prompter::ask;
    Answer ask(const QString& text, Buttons buttons, const QString& title) override;
    std::optional<QString> openFile(const QString& title, const QString& filter) override;

    void answer(Answer a) { answers_.append(a); }
    void answerFile(std::optional<QString> path) { files_.append(std::move(path)); }

    QList<Question> asked;
    int unexpected = 0; // questions or dialogs that found no scripted answer

    // The texts asked so far, for compact comparisons.
    QStringList texts() const;

private:
    QList<Answer> answers_;
    QList<std::optional<QString>> files_;
};

} // namespace zq2::test
