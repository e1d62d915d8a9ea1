#pragma once

#include <QObject>
#include <QString>

// Tells at once when a file appears in a folder or its writer closes it, so
// that a pass need not wait for the next tick. Where the file system cannot
// tell (a network mount), nothing comes and the tick alone drives the passes.
class FolderWatch : public QObject {
    Q_OBJECT
  public:
    // Watches this folder from now on, instead of any other; false when it
    // cannot be watched.
    virtual bool watch(const QString& folder) = 0;
    virtual void stopWatching() = 0;

  signals:
    // A file in the watched folder was made, moved in or closed after
    // writing.
    void changed();
};
