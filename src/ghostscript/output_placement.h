#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "common/result.h"

class FolderFiles;

// An output file that Ghostscript writes aside and that is put in place only
// when it is a whole PDF, never more readable than any of its sources; the
// same for a conversion, a single-file run and a merge.
class OutputPlacement {
  public:
    enum class Check { Whole, Missing, Incomplete };

    OutputPlacement(FolderFiles& files, QString asidePath, QString finalPath, QStringList sources);

    const QString& asidePath() const { return aside_; }
    const QString& finalPath() const { return final_; }

    // Makes the aside file afresh: a leftover must not pass for this run's
    // output.
    Status prepare();
    // Whether what stands aside is a whole PDF: its end holds the
    // cross-reference pointer and the end mark, as a full disk cuts it short.
    Check check();
    // Renames (or, between file systems, copies) it into place.
    Status place(const std::function<bool()>& keepGoing);
    // Removes what stands aside, if anything.
    void discard();

  private:
    FolderFiles& files_;
    QString aside_;
    QString final_;
    QStringList sources_;
};
