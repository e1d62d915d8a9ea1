#pragma once

#include "settings/configuration.h"

class FrmMain;

// The configured values as the main window holds them: a path is the caption
// of its label, an option the state of its check box, the counter a number
// the counter label shows.
class WindowConfiguration : public Configuration {
  public:
    explicit WindowConfiguration(FrmMain& window) : window_(window) {}

    QString path(PathKind kind) const override;
    void setPath(PathKind kind, const QString& value) override;
    Options options() const override;
    void setOptions(const Options& options) override;
    double counter() const override { return counter_; }
    void setCounter(double counter) override;
    QString counterCaption() const override;
    void setCounterCaption(const QString& caption) override;

  private:
    FrmMain& window_;
    double counter_ = 0;
};
