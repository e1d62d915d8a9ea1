#pragma once

#include <QString>
#include <QStringList>

// The entries of the merge dialog's type list, in their order.
const QStringList& mergeChoices();

// True when the type choice lists the file: by the last three characters of
// its name, lower-cased, so "D.EPS" and "notpdf" count too.
bool isListedFor(const QString& choice, const QString& name);

// The merge dialog's ordered list of file names, the order of the pages in
// the merged file; filled, it ends with one empty row. The selected row is
// the one the list on screen shows selected, the current row the one Remove
// acts on.
class MergeList {
  public:
    // Lists the folder's names that the choice lists, in the folder's order,
    // each once, then one empty row; selects row 0.
    void fill(const QStringList& folderNames, const QString& choice);

    // The user selected a row (by mouse or keyboard).
    void click(int selected);
    // A mouse button went down: the selected row is where a drag starts.
    void press(int selected);
    // A mouse button came up with the given row selected: a drag from another
    // file row moves that row before it, or after it when only Shift is held.
    void release(int selected, bool shiftOnly);
    // Removes the current row unless it is empty.
    void removeCurrent();

    const QStringList& rows() const { return rows_; }
    int selected() const { return selected_; }
    int current() const { return current_; }

  private:
    void select(int row);
    bool isFileRow(int row) const;

    QStringList rows_;
    int selected_ = -1;
    int current_ = 0;
    int dragSource_ = -1;
};
