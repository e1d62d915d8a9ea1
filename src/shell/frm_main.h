#pragma once

#include <QWidget>

#include "engine/distiller_view.h"
#include "i18n/text_table.h"
#include "settings/settings_file.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSystemTrayIcon;
class QTimer;
class ClickLabel;
class ConvertedList;
class Distiller;
class Outline;
class Platform;
class ReleaseCheckBox;

// The main window. Its controls hold most of the settings: a path is the
// caption of its label, an option the state of its check box.
class FrmMain : public QWidget, public DistillerView {
    Q_OBJECT
  public:
    explicit FrmMain(Platform& platform, QWidget* parent = nullptr);
    ~FrmMain() override;

    // Runs once after the window is created: restores the settings and shows
    // the window.
    void startUp();

    Distiller& distiller() { return *distiller_; }

    // The language code whose texts the window shows.
    QString languageCode() const { return languageCode_; }
    // Selects the texts of the language code and writes them into the captions
    // and tool tips of this window. An unknown code changes no text.
    void applyLanguage(const QString& code);

    double counter() const { return counter_; }
    void setCounter(double counter);

    // The settings file (settings_path is fixed at start-up).
    QString settingsPath() const { return settingsPath_; }
    void Load_Settings();
    // Writes the whole file, then rolls the window up.
    void Save_Settings();

    // The opening and closing animations, between the title-bar strip and the
    // full size H0 x W0 recorded at start-up.
    void Unroll_Window();
    void Roll_Up_Window();
    int animationSteps = 60;
    int fullHeight = 0;  // H0, twips
    int fullWidth = 0;   // W0, twips

    // The notification-area icon.
    void Add_Tray_Icon();
    void Remove_Tray_Icon();
    void Restore_From_Tray();
    // A mouse event over the icon, by the code the notification area uses:
    // 514 left released, 515 left double-click, 517 right released.
    void handleTrayNotification(int code);
    QSystemTrayIcon* trayIcon() const { return tray_; }

    // Exit and a close request: save, remove the icon, end at once.
    void exitProgram();

    // The window's position and state as read from the settings file.
    qint16 savedLeft = 0;
    qint16 savedTop = 0;
    QString savedWindowState = QStringLiteral("0");

    // DistillerView
    QString watchDir() const override;
    QString outputDir() const override;
    QString moveFolder() const override;
    bool deletePSFiles() const override;
    ConversionOptions conversionOptions() const override;
    const TextTable& texts() const override { return texts_; }
    void setStatus(const QString& text) override;
    void showCurrentCount(double count) override;
    void raiseCounter() override;
    void addConverted(const QString& pdfPath) override;
    void addFailed(const QString& sourcePath) override;
    void setFrameColor(const char* shapeName, quint32 bbggrr) override;
    void repaintNow() override;
    void keepOnScreen() override;
    void setComposeAndExitVisible(bool visible) override;
    void setStartVisible(bool startVisible) override;
    void Make_Green() override;
    void Make_Orange() override;

    // Marks list entries for which no PDF was made.
    static constexpr int kFailedRole = Qt::UserRole + 1;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void connectCommands();
    // The values the settings file keeps, as the window holds them now.
    SettingsValues currentSettings() const;
    void openConvertedEntry(Qt::MouseButton button);
    void resetCounter();
    void remindPasswords();
    void showPasswords();
    void resizeTwips(double width, double height);
    double heightTwips() const;
    void buildControls();
    void writeCaptions();
    void applyLook(quint32 color, bool visible);
    Outline* outline(const char* name, int left, int top, int width, int height);

    Platform& platform_;
    TextTable texts_;
    QString languageCode_ = QStringLiteral("GB");
    double counter_ = 0;
    QString QualityPreset;  // the quality switch of the selected entry
    Distiller* distiller_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    bool ending_ = false;  // Exit or a close request is being carried out
    QString settingsPath_;
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
