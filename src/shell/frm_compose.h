#pragma once

#include <QWidget>

#include "merge/merge_list.h"

class QComboBox;
class QLabel;
class QPushButton;
class ComposeList;
class Configuration;
class FolderFiles;
class MergeJob;
class TextTable;

// The merge dialog: the files of the merge folder in the order the user
// arranges, and the button that merges them into one PDF. Made once, kept
// while hidden, never blocking the main window.
class FrmCompose : public QWidget {
    Q_OBJECT
  public:
    FrmCompose(MergeJob& job, const Configuration& config, FolderFiles& files, QWidget* parent);

    // Writes the captions; the title only when a language has been selected.
    void applyTexts(const TextTable& texts, bool languageSelected);
    // Places the dialog with its top at the main window's top, centred on
    // it, fills the list and shows the dialog.
    void openOver(const QWidget& mainWindow);
    void Fill_Merge_List();

    const MergeList& mergeList() const { return list_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void connectControls();
    // Shows the merge list's rows and selection in lstCompose.
    void showList();
    void showProgress(const QString& line);
    void endProgress();
    void cmdMakeOnePS_Click();

    MergeJob& job_;
    const Configuration& config_;
    FolderFiles& files_;
    MergeList list_;

    ComposeList* lstCompose = nullptr;
    QComboBox* cmbChoice = nullptr;
    QPushButton* cmdReload = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdMakeOnePS = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblDraginfo = nullptr;
    QLabel* lblDistillFrom = nullptr;
    QLabel* lblPatience = nullptr;
    // Everything but the progress line, hidden while a merge runs.
    QList<QWidget*> controls_;
};
