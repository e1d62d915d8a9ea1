#pragma once

#include <QStringList>

#include "settings/configuration.h"
#include "settings/path_checks.h"

// The picker as the start-up check sees it, with the person's answers
// scripted: it records what it is asked and chooses the Ghostscript path at
// the given showing (0: never), as a click on the file would.
class ScriptedPicker : public PathPicker {
  public:
    ScriptedPicker(Configuration& config, int chooseAt,
                   const QString& gsPath = QStringLiteral("/usr/bin/gs"))
        : config_(config), chooseAt_(chooseAt), gsPath_(gsPath) {}
    void askForPath(PathKind kind) override { calls << "ask " + pathKindName(kind); }
    void selectFolder(const QString& folder) override { calls << "select " + folder; }
    void Show_Path_Picker() override {
        calls << QStringLiteral("show");
        const auto showings = calls.count(QStringLiteral("show"));
        // A check that never stops asking is ended here; the test then fails.
        if (showings == chooseAt_ || showings > 5) {
            config_.setPath(PathKind::GSPath, gsPath_);
        }
    }
    QStringList calls;

  private:
    Configuration& config_;
    int chooseAt_;
    QString gsPath_;
};
