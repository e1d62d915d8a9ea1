#pragma once

#include <QString>
#include <optional>

// What setting up the print queue asks of the printing system (CUPS): the
// device a queue prints to, and adding or removing a queue. The real one
// runs CUPS's own commands; the tests use a stand-in.
class PrintQueueAdmin {
  public:
    // How a step went; the printing system's own words when it failed.
    // Denied: the user may not administer printers.
    enum class Result { Done, Denied, Failed };
    struct Outcome {
        Result result = Result::Failed;
        QString words;
    };

    virtual ~PrintQueueAdmin() = default;

    // The device URI of the queue of that name; nothing when there is no
    // such queue or the printing system cannot be asked.
    virtual std::optional<QString> queueDevice(const QString& name) = 0;
    // Adds the queue, or changes the one of that name: it prints to
    // deviceUri through a generic PostScript printer description (so that
    // the printing system turns any job into PostScript), takes jobs at
    // once and is not shared with other machines.
    virtual Outcome addQueue(const QString& name, const QString& deviceUri) = 0;
    virtual Outcome removeQueue(const QString& name) = 0;

    // The command lines an administrator runs to do the same, for a user
    // who may not.
    virtual QString addQueueCommand(const QString& name, const QString& deviceUri) const = 0;
    virtual QString removeQueueCommand(const QString& name) const = 0;
};
