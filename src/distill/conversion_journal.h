#pragma once

#include <QString>
#include <optional>

#include "common/result.h"

class FolderFiles;

// The file in hand, noted in a hidden journal in the move-to folder before it
// is taken out of the watched folder and crossed out when its road is over.
// What a run that did not finish (a crash, a kill, a power cut) leaves
// behind is found through it at the next switch-on, and the file is
// converted again rather than replaced by the next file of its name.
class ConversionJournal {
  public:
    static constexpr const char* kFileName = ".tarnwick-journal";

    struct Entry {
        QString name;      // in the watched and the move-to folder
        QString pdfPath;   // where its PDF goes
        int attempts = 0;  // conversions of it that a run's end cut short
    };

    ConversionJournal(FolderFiles& files, QString moveFolder);

    Status write(const Entry& entry);
    std::optional<Entry> read();
    void clear();

  private:
    FolderFiles& files_;
    QString path_;
};
