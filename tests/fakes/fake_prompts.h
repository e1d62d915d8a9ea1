#pragma once

#include <QList>
#include <QStringList>
#include <functional>

#include "platform/prompts.h"

// Scripted message and input boxes for tests: answers are taken from queues
// (OK and the proposal when empty), and every box shown is recorded.
class FakePrompts : public Prompts {
  public:
    struct Shown {
        QString text;
        Buttons buttons;
    };

    Answer message(const QString& text, Buttons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& proposal) override;

    // The texts of the messages shown, in order.
    QStringList messages() const;

    QList<Answer> answers;
    QList<std::optional<QString>> inputs;
    QList<Shown> shown;
    QStringList inputPrompts;
    // Runs while a box is open, as a person would act meanwhile.
    std::function<void()> whileOpen;
};
