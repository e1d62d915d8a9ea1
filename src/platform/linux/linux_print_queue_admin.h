#pragma once

#include "printing/print_queue_admin.h"

#include <QStringList>

// The print queue's set-up on Linux: CUPS's lpstat and lpadmin, run with
// their messages in English so that a refusal can be told apart. CUPS_SERVER
// in the environment names another server, as for every CUPS command.
class LinuxPrintQueueAdmin : public PrintQueueAdmin {
  public:
    std::optional<QString> queueDevice(const QString& name) override;
    Outcome addQueue(const QString& name, const QString& deviceUri) override;
    Outcome removeQueue(const QString& name) override;
    QString addQueueCommand(const QString& name, const QString& deviceUri) const override;
    QString removeQueueCommand(const QString& name) const override;

  private:
    Outcome runAdmin(const QStringList& arguments);
};
