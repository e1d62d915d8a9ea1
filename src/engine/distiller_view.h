#pragma once

#include <QString>

#include "engine/gs_command.h"

class TextTable;

// What the distiller reads from and shows in the main window. Every value is
// read at the moment of use, so a change on screen takes effect with the next
// file.
class DistillerView {
  public:
    virtual ~DistillerView() = default;

    virtual QString watchDir() const = 0;
    virtual QString outputDir() const = 0;
    virtual QString moveFolder() const = 0;
    virtual bool deletePSFiles() const = 0;
    virtual ConversionOptions conversionOptions() const = 0;
    virtual const TextTable& texts() const = 0;

    virtual void setStatus(const QString& text) = 0;
    virtual void showCurrentCount(double count) = 0;
    // Adds one to the count of produced PDF files and shows it.
    virtual void raiseCounter() = 0;
    virtual void addConverted(const QString& pdfPath) = 0;
    // Lists a file for which no PDF was made, marked as failed.
    virtual void addFailed(const QString& sourcePath) = 0;
    virtual void setFrameColor(const char* shapeName, quint32 bbggrr) = 0;
    virtual void repaintNow() = 0;
    // Moves a normal window whose left or top edge is off screen back to 0.
    virtual void keepOnScreen() = 0;

    // The distiller switch's buttons and looks.
    virtual void setComposeAndExitVisible(bool visible) = 0;
    virtual void setStartVisible(bool startVisible) = 0;
    virtual void Make_Green() = 0;
    virtual void Make_Orange() = 0;
};
