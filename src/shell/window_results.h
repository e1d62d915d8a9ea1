#pragma once

#include "common/pdf_results.h"

class Configuration;
class ResultNotices;
class FrmMain;
class TextTable;

// What the distiller and the merge job produce, as the main window shows it:
// the list of produced files, the two counters and the status line.
class WindowResults : public PdfResults {
  public:
    WindowResults(FrmMain& window, Configuration& config, const TextTable& texts)
        : window_(window), config_(config), texts_(texts) {}

    void setStatus(const QString& text) override;
    void addConverted(const QString& pdfPath) override;
    void addFailed(const QString& sourcePath, const QString& reason) override;
    void raiseCounter() override;
    void showRunCount(double count) override;
    void raiseRunCount() override;

    // Where each PDF made and each failure is also told; none by default.
    void setNotices(ResultNotices* notices) { notices_ = notices; }

  private:
    FrmMain& window_;
    Configuration& config_;
    const TextTable& texts_;
    ResultNotices* notices_ = nullptr;
};
