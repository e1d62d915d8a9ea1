#pragma once

#include <QWidget>
#include <memory>

#include "settings/path_kind.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ClickLabel;
class Configuration;
class ConvertedList;
class PdfResults;
class ReleaseCheckBox;
class RunningIndicator;
class TextTable;
class WindowConfiguration;
class WindowResults;

// The main window. Its controls hold most of the settings: a path is the
// caption of its label, an option the state of its check box; the window
// hands them out as the configuration, and shows what the distiller and the
// merge job produce. It builds its controls and reports what the user does
// with them; the application decides what follows.
class FrmMain : public QWidget {
    Q_OBJECT
  public:
    explicit FrmMain(const TextTable& texts, QWidget* parent = nullptr);
    ~FrmMain() override;

    Configuration& configuration();
    PdfResults& results();

    // Writes the texts of the current language into the captions and tips.
    void writeCaptions();
    // Selects the language list's entry of a code; a code outside the list
    // selects nothing. True when an entry was selected.
    bool selectLanguageEntry(const QString& code);
    // The caption of the web-site label.
    void setWebsiteCaption(const QString& caption);

    // The two looks.
    void Make_Green();
    void Make_Orange();
    // The buttons that switch the distiller: Distill or Stop, and whether
    // Merge and Exit can be pressed.
    void showStart(bool startShown);
    void showComposeAndExit(bool shown);
    // Lights frame 1 to 6 of the running indicator.
    void lightIndicator(int frame);

    // Brings the window back from the notification area, in front.
    void Restore_From_Tray();

    // The text of the selected entry of the list of produced files; empty
    // when none is selected or it is a failed one.
    QString selectedEntry() const;
    QString passwordsText() const;

    // Marks list entries for which no PDF was made.
    static constexpr int kFailedRole = Qt::UserRole + 1;

  signals:
    void startClicked();
    void stopClicked();
    void composeClicked();
    void exitClicked();
    void pathButtonClicked(PathKind kind);
    void folderLabelClicked(PathKind kind);
    void websiteClicked();
    void counterClicked();
    void languageChosen(const QString& code);
    void convertedListReleased(Qt::MouseButton button);
    void encryptionReleased();
    void showPasswordsClicked();
    // The window is asked to close (its close box, the window manager).
    void closeRequested();
    // The window was minimised.
    void minimised();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    friend class WindowConfiguration;
    friend class WindowResults;

    void buildControls();
    void buildOptions();
    void buildPaths();
    void buildBottomRow();
    void connectControls();
    void nameControlsByLabels();
    void orderFocus();
    void applyLook(quint32 color, bool visible);
    QLabel* pathLabel(PathKind kind) const;

    const TextTable& texts_;
    std::unique_ptr<WindowConfiguration> configuration_;
    std::unique_ptr<WindowResults> results_;
    std::unique_ptr<RunningIndicator> indicator_;

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
    QLabel* lblKeepGsRunning = nullptr;
    QLabel* lblQuality = nullptr;
    QLabel* lblLanguage = nullptr;
    QLabel* lblOwnerPassword = nullptr;
    QLabel* lblUserPassword = nullptr;
    QCheckBox* chkDeletePSFiles = nullptr;
    QCheckBox* chkStartDistOnBoot = nullptr;
    QCheckBox* chkUseBBX = nullptr;
    ReleaseCheckBox* chkUseEncryption = nullptr;
    QCheckBox* chkPicQualityGood = nullptr;
    QCheckBox* chkKeepGsRunning = nullptr;
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
};
