#pragma once

#include <QObject>

// Turns SIGTERM and SIGINT into a Qt signal delivered on the event loop, so
// that they are handled as an ordinary close request. There is one handler
// for the whole process, installed with the first use and never taken back;
// every receiver connects to the one instance.
class TerminationSignals : public QObject {
    Q_OBJECT
  public:
    static TerminationSignals& instance();

  signals:
    void requested();

  private:
    explicit TerminationSignals(QObject* parent);
};
