#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

class Configuration;
class Desktop;
class Notifications;
class TextTable;
class QWidget;

// Tells the user of each PDF made and each file that failed while the main
// window is hidden in the tray or not the active one: one message per file,
// or one summary for files that end close together (a batch). A click on
// it opens the PDF, the output folder for a batch, the window for a failure.
class ResultNotices : public QObject {
    Q_OBJECT
  public:
    ResultNotices(QWidget& window, const Configuration& config, const TextTable& texts,
                  Notifications& notifications, Desktop& desktop);

    void converted(const QString& pdfPath);
    void failed(const QString& sourcePath, const QString& reason);

  signals:
    // A failure's message was clicked: the window is to come back.
    void windowWanted();

  public:
    // Files that end within this time of the one before form a batch.
    static constexpr int kBatchMilliseconds = 2000;

  private:
    struct Pending {
        QString path;
        QString failure;  // empty for a PDF made
    };
    void add(Pending pending);
    void tell();

    QWidget& window_;
    const Configuration& config_;
    const TextTable& texts_;
    Notifications& notifications_;
    Desktop& desktop_;
    QList<Pending> pending_;
    QTimer batch_;
};
