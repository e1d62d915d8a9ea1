#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a Qt signal delivered on the event loop, so
// that they are handled as an ordinary close request.
class TerminationSignals : public QObject {
    Q_OBJECT
  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

  signals:
    void requested();

  private:
    QSocketNotifier* notifier_ = nullptr;
};
