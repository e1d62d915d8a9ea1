#pragma once

#include <QString>

// Where whatever produces PDF files (the distiller, the merge job) reports
// what happened: the list of produced files, the two counters and the status
// line.
class PdfResults {
  public:
    virtual ~PdfResults() = default;

    virtual void setStatus(const QString& text) = 0;
    virtual void addConverted(const QString& pdfPath) = 0;
    // Lists a file for which no PDF was made, marked as failed, with the
    // reason in words a user can act on.
    virtual void addFailed(const QString& sourcePath, const QString& reason) = 0;
    // Adds one to the count of produced PDF files and shows it.
    virtual void raiseCounter() = 0;
    // Shows the count of the current distiller run.
    virtual void showRunCount(double count) = 0;
    // Adds one to the run count as shown; the distiller's own count stays.
    virtual void raiseRunCount() = 0;
};
