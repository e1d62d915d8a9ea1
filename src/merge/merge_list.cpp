#include "merge/merge_list.h"

#include <QSet>

#include "common/text_util.h"
#include "distill/file_type.h"

const QStringList& mergeChoices() {
    static const QStringList choices{"PDF/POSTSCRIPT", "POSTSCRIPT", "PDF"};
    return choices;
}

bool isListedFor(const QString& choice, const QString& name) {
    const bool pdf = name.right(3).toLower() == QLatin1String("pdf");
    if (choice == QLatin1String("PDF/POSTSCRIPT")) {
        return pdf || isPostScriptName(name);
    }
    if (choice == QLatin1String("POSTSCRIPT")) {
        return isPostScriptName(name);
    }
    return choice == QLatin1String("PDF") && pdf;
}

void MergeList::fill(const QStringList& folderNames, const QString& choice) {
    rows_.clear();
    QSet<QString> listed;
    for (const QString& name : folderNames) {
        if (name == QLatin1String(".") || name == QLatin1String("..") || listed.contains(name) ||
            !isListedFor(choice, name)) {
            continue;
        }
        listed.insert(name);
        rows_.append(name);
    }
    rows_.append(QString());
    select(0);
}

void MergeList::click(int selected) {
    selected_ = selected;
    current_ = selected;
}

void MergeList::press(int selected) {
    click(selected);
    dragSource_ = selected;
}

void MergeList::release(int selected, bool shiftOnly) {
    selected_ = selected;
    const int source = dragSource_;
    if (selected == source || !isFileRow(source) || selected < 0 || selected >= rows_.size()) {
        return;
    }
    const QString moved = rows_.takeAt(source);
    // The selection stays on the target row, which moved up if it lay below.
    const int target = selected > source ? selected - 1 : selected;
    const int at = shiftOnly ? target + 1 : target;
    rows_.insert(at, moved);
    select(at);
}

void MergeList::removeCurrent() {
    if (!isFileRow(current_)) {
        return;
    }
    rows_.removeAt(current_);
    if (current_ == rows_.size()) {
        current_ -= 1;
    }
    if (!rows_.isEmpty()) {
        select(current_);
    }
}

void MergeList::select(int row) {
    selected_ = row;
    current_ = row;
}

bool MergeList::isFileRow(int row) const {
    return row >= 0 && row < rows_.size() && !trimBlanks(rows_[row]).isEmpty();
}
