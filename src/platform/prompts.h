#pragma once

#include <QString>
#include <optional>

// Message and input boxes. Their title is always the program's title.
class Prompts {
  public:
    enum class Buttons { Ok, OkCancel };
    enum class Answer { Ok, Cancel };

    virtual ~Prompts() = default;

    virtual Answer message(const QString& text, Buttons buttons = Buttons::Ok) = 0;
    // Asks for a line of text; nothing when the user cancels.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& proposal) = 0;
    // Closes every box that is open as if it was cancelled.
    virtual void dismissOpen() {}
};
