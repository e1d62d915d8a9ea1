#include "fakes/fake_prompts.h"

Prompts::Answer FakePrompts::message(const QString& text, Buttons buttons) {
    shown.append({text, buttons});
    if (whileOpen) {
        whileOpen();
    }
    return answers.isEmpty() ? Answer::Ok : answers.takeFirst();
}

std::optional<QString> FakePrompts::input(const QString& prompt, const QString&,
                                          const QString& proposal) {
    inputPrompts.append(prompt);
    if (whileOpen) {
        whileOpen();
    }
    return inputs.isEmpty() ? std::optional<QString>(proposal) : inputs.takeFirst();
}

QStringList FakePrompts::messages() const {
    QStringList texts;
    for (const Shown& box : shown) {
        texts.append(box.text);
    }
    return texts;
}
