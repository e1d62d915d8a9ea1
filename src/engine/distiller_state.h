#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "platform/process_id.h"

// The distiller's run-time state: one for the whole run, never stored.
struct DistillerState {
    bool DistillerActive = false;
    bool PassHold = false;  // a pass is in progress
    QString WatchDir;
    QString OutputDir;
    QString CurrentFile;
    QString PdfPath;
    QString TempOutputPath;
    QString InputPath;
    bool FileBusy = false;
    bool GsRunning = false;
    std::optional<ProcessId> GsProcess;  // the Ghostscript run of this pass
    double CurrentCount = 0;
    qint16 RunStep = 1;

    // A single-file run converts the named file of the watched folder to a PDF
    // beside the original and then runs its ending.
    bool SingleFileMode = false;
    QString SingleFileName;
    QString SingleFilePdfPath;
    std::function<void()> SingleFileEnding;
};
