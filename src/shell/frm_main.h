#pragma once

#include <QWidget>

#include "common/pdf_results.h"
#include "i18n/text_table.h"
#include "settings/configuration.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class ClickLabel;
class ConvertedList;
class Distiller;
class FrmCompose;
class MergeJob;
class Outline;
class PathPrompts;
class Platform;
class ReleaseCheckBox;
class RunningIndicator;
class TrayIcon;
class WindowAnimations;
class WindowGeometry;

// The main window. Its controls hold most of the settings: a path is the
// caption of its label, an option the state of its check box. Creating it
// builds the controls and nothing else; the start-up sequence brings it to
// life.
class FrmMain : public QWidget, public Configuration, public PdfResults {
    Q_OBJECT
  public:
    explicit FrmMain(Platform& platform, QWidget* parent = nullptr);
    ~FrmMain() override;

    Distiller& distiller() { return *distiller_; }
    TrayIcon& tray() { return *tray_; }
    WindowGeometry& windowGeometry() { return *geometry_; }
    MergeJob& mergeJob() { return *mergeJob_; }
    FrmCompose& frmCompose() { return *frmCompose_; }
    WindowAnimations& animations() { return *animations_; }
    QTimer& timer() { return *tmrAutodistill; }
    // The path buttons, the path picker and the start-up's path checks.
    PathPrompts& pathPrompts() { return *pathPrompts_; }
    const TextTable& texts() const { return texts_; }

    // The language code whose texts the windows show.
    QString languageCode() const { return languageCode_; }
    // Applies the language code to every window and the tray tip. A code
    // outside the six keeps the texts applied last (English at first).
    void TransLate();
    // Sets the language code and applies it.
    void applyLanguage(const QString& code);
    // Selects the language list's entry of a code; a code outside the list
    // selects nothing. True when an entry was selected.
    bool selectLanguageEntry(const QString& code);

    // The settings file; its place is fixed at start-up.
    QString settingsPath() const { return settingsPath_; }
    void setSettingsPath(const QString& path) { settingsPath_ = path; }
    void Load_Settings();
    // Writes the whole file, then rolls the window up.
    void Save_Settings();

    // The web-site label's address.
    void setProjectAddress(const QString& address);

    // Exit and a close request: save, remove the icon, end at once.
    void exitProgram();
    // The text of the selected entry of the list of produced files; empty
    // when none is selected.
    QString selectedEntry() const;

    // The two looks.
    void Make_Green();
    void Make_Orange();

    // Configuration
    QString path(PathKind kind) const override;
    void setPath(PathKind kind, const QString& value) override;
    Options options() const override;
    void setOptions(const Options& options) override;
    double counter() const override { return counter_; }
    void setCounter(double counter) override;
    QString counterCaption() const override;
    void setCounterCaption(const QString& caption) override;

    // PdfResults
    void setStatus(const QString& text) override;
    void addConverted(const QString& pdfPath) override;
    void addFailed(const QString& sourcePath, const QString& reason) override;
    void raiseCounter() override;
    void showRunCount(double count) override;
    void raiseRunCount() override;

    // Marks list entries for which no PDF was made.
    static constexpr int kFailedRole = Qt::UserRole + 1;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void connectCommands();
    void connectDistiller();
    void connectPathButtons();
    // The merge dialog and its job.
    void createMerge();
    void cmdCompose_Click();
    void openConvertedEntry(Qt::MouseButton button);
    void resetCounter();
    void remindPasswords();
    void showPasswords();
    void buildControls();
    void writeCaptions();
    void applyLook(quint32 color, bool visible);
    void setComposeAndExitVisible(bool visible);
    void setStartVisible(bool startVisible);
    QLabel* pathLabel(PathKind kind) const;

    Platform& platform_;
    TextTable texts_;
    QString languageCode_ = QStringLiteral("GB");
    double counter_ = 0;
    QString QualityPreset;  // the quality switch of the selected entry
    bool ending_ = false;   // Exit or a close request is being carried out
    QString settingsPath_;
    Distiller* distiller_ = nullptr;
    MergeJob* mergeJob_ = nullptr;
    FrmCompose* frmCompose_ = nullptr;
    TrayIcon* tray_ = nullptr;
    std::unique_ptr<WindowGeometry> geometry_;
    std::unique_ptr<WindowAnimations> animations_;
    std::unique_ptr<RunningIndicator> indicator_;
    std::unique_ptr<PathPrompts> pathPrompts_;
    QTimer* tmrAutodistill = nullptr;

    QLabel* lblStatus = nullptr;
    QLabel* lblGsPath = nullptr;
    QLabel* lblAcroPath = nullptr;
    ClickLabel* lblWatchDir = nullptr;
    ClickLabel* lblOutputPath = nullptr;
    ClickLabel* lblMoveFolder = nullptr;
    ClickLabel* lblComposeFolder = nullptr;
    ClickLabel* lblWebsite = nullptr;
    ClickLabel* lblTeller = nullptr;
    QLabel* lblCurrentCount = nullptr;
    QLabel* lblDeletePSfiles = nullptr;
    QLabel* lblStartDistOnBoot = nullptr;
    QLabel* lblUseBBx = nullptr;
    QLabel* lblUseEncryption = nullptr;
    QLabel* lblBetterPictureQuality = nullptr;
    QLabel* lblQuality = nullptr;
    QLabel* lblLanguage = nullptr;
    QLabel* lblOwnerPassword = nullptr;
    QLabel* lblUserPassword = nullptr;
    QCheckBox* chkDeletePSFiles = nullptr;
    QCheckBox* chkStartDistOnBoot = nullptr;
    QCheckBox* chkUseBBX = nullptr;
    ReleaseCheckBox* chkUseEncryption = nullptr;
    QCheckBox* chkPicQualityGood = nullptr;
    QComboBox* cmbQuality = nullptr;
    QComboBox* cmbLanguage = nullptr;
    QLineEdit* txtOwnerPassword = nullptr;
    QLineEdit* txtUserPassword = nullptr;
    QPushButton* cmdGSPath = nullptr;
    QPushButton* cmdAcroPath = nullptr;
    QPushButton* cmdWatchDir = nullptr;
    QPushButton* cmdOutput = nullptr;
    QPushButton* cmdPSMove = nullptr;
    QPushButton* cmdComposeFolder = nullptr;
    QPushButton* cmdShowPassWords = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdCompose = nullptr;
    QPushButton* cmdExit = nullptr;
    ConvertedList* lstConverted = nullptr;
    QList<QLabel*> carriers_;
};
