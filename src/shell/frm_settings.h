#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>

#include "platform/volumes.h"
#include "settings/path_kind.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class Configuration;
class Prompts;
class TextTable;

// The path picker: the volumes, the folders of the current volume and the
// files of the current folder, with OK, Cancel and Help. It edits the path of
// one kind and stores the choice through the configuration: a program path
// when its file is clicked, a folder at OK. Cancel stores nothing and undoes
// nothing. A volume or folder that cannot be read is skipped without a
// message; the lists keep what they showed.
class FrmSettings : public QDialog {
    Q_OBJECT
  public:
    // Placed once, here: its top at the main window's top, centred on it.
    FrmSettings(Configuration& config, const TextTable& texts, Volumes& volumes, Prompts& prompts,
                QWidget& mainWindow);

    std::optional<PathKind> pathKind() const { return kind_; }
    // Sets the kind being edited; the file list offers that kind's files.
    void setPathKind(std::optional<PathKind> kind);

    // The mounted volumes as read last.
    const QStringList& volumes() const { return volumes_; }
    // The current volume and the current (opened) folder. The folder is as
    // the list gives it: a root keeps its "/", any other folder has none.
    QString volume() const { return volume_; }
    QString folder() const { return folder_; }
    // Makes a volume the current one, which opens its root. False, with
    // nothing changed, when it is not mounted or cannot be read.
    bool selectDrive(const QString& volume);
    // Opens a folder. False, with nothing changed, when it cannot be read.
    bool selectFolder(const QString& folder);
    // Reads the mounted volumes again (one may have come or gone).
    void refreshVolumes();

    void setOkShown(bool shown);
    void setHintShown(bool shown);
    void writeCaptions();

  protected:
    // Closed through the window system: unloaded.
    void closeEvent(QCloseEvent* event) override;
    // Escape acts as Cancel.
    void reject() override;

  private:
    void buildControls();
    void drvList_Change();
    void dirList_Change();
    void fileList_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    void showVolume(const QString& volume);
    void fillFolderList();
    void fillFileList();

    Configuration& config_;
    const TextTable& texts_;
    Volumes& volumeSource_;
    Prompts& prompts_;
    std::optional<PathKind> kind_;
    QStringList volumes_;
    QString volume_;
    QString folder_;
    FolderContents contents_;
    QString pattern_;

    QComboBox* drvList = nullptr;
    QListWidget* dirList = nullptr;
    QListWidget* fileList = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;
    QLabel* lblgreen = nullptr;
};
