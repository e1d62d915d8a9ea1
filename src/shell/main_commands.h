#pragma once

#include <QObject>

class Configuration;
class Desktop;
class FolderFiles;
class FrmMain;
class Processes;
class Prompts;
class TextTable;

// The main window's direct commands: open a produced PDF in the reader, a
// folder in the file browser; the counter reset question; the password
// reminders and the passwords shown.
class MainCommands : public QObject {
    Q_OBJECT
  public:
    struct Services {
        Prompts& prompts;
        Processes& processes;
        Desktop& desktop;
        FolderFiles& files;
    };

    MainCommands(FrmMain& window, const TextTable& texts, Services services);

  signals:
    // The counter reset was confirmed: the counter is 0 and the settings are
    // to be saved.
    void counterReset();

  private:
    void openConvertedEntry(Qt::MouseButton button);
    void resetCounter();
    void remindPasswords();

    FrmMain& window_;
    Configuration& config_;
    const TextTable& texts_;
    Services services_;
};
