#pragma once

#include <QHash>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "common/pdf_results.h"
#include "distill/distiller.h"
#include "distill/engine_context.h"
#include "fakes/fake_folder_files.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_prompts.h"
#include "i18n/text_table.h"
#include "settings/configuration.h"
#include "support/test_files.h"

// Configured values held in plain fields.
class FakeConfiguration : public Configuration {
  public:
    QString path(PathKind kind) const override { return paths.value(kind); }
    void setPath(PathKind kind, const QString& value) override { paths[kind] = value; }
    Options options() const override { return opts; }
    void setOptions(const Options& options) override { opts = options; }
    double counter() const override { return count; }
    void setCounter(double counter) override { count = counter; }
    QString counterCaption() const override { return caption; }
    void setCounterCaption(const QString& text) override { caption = text; }

    QHash<PathKind, QString> paths;
    Options opts;
    double count = 0;
    QString caption = QStringLiteral("0");
};

// Records what is reported. A failed entry reads "failed: " and its path; its
// reason goes to reasons.
class FakeResults : public PdfResults {
  public:
    explicit FakeResults(Configuration& config) : config_(config) {}

    void setStatus(const QString& text) override { status = text; }
    void addConverted(const QString& pdfPath) override { entries.append(pdfPath); }
    void addFailed(const QString& sourcePath, const QString& reason) override {
        entries.append(QStringLiteral("failed: ") + sourcePath);
        reasons.append(reason);
    }
    void raiseCounter() override { config_.setCounter(config_.counter() + 1); }
    void showRunCount(double count) override { runCount = count; }
    void raiseRunCount() override { runCount += 1; }

    QString status;
    QStringList entries;
    QStringList reasons;
    double runCount = 0;

  private:
    Configuration& config_;
};

// The four folders of a conversion, made as real temporary folders.
struct ConversionFolders {
    ConversionFolders();

    QTemporaryDir root;
    QString watch;  // each ends in "/"
    QString moved;
    QString output;
    QString merge;
};

// The output path a started Ghostscript run is given (-sOutputFile=...).
QString outputFileOf(const FakeProcesses::Started& start);
// Makes every Ghostscript start write a whole PDF and end at once.
void ghostscriptWritesOutput(FakeProcesses& processes);

// The paths of a conversion in the folders; Ghostscript is /usr/bin/gs.
QHash<PathKind, QString> conversionPaths(const ConversionFolders& folders);

// A distiller and its four folders on the given processes and file work:
// the stand-ins, or the real ones for conversions with the real Ghostscript.
template <typename ProcessesType, typename FilesType>
struct DistillerFixture : ConversionFolders {
    DistillerFixture() {
        texts.Select_Texts(QStringLiteral("GB"));
        config.paths = conversionPaths(*this);
    }

    ProcessesType processes;
    FilesType files;
    FakePrompts prompts;
    FakeConfiguration config;
    FakeResults results{config};
    TextTable texts;
    EngineContext context{config, results, texts, prompts, files, processes};
    Distiller distiller{context};

    void ghostscriptWritesOutput() { ::ghostscriptWritesOutput(processes); }
    // Switches on, runs one tick and waits until its pass is over.
    void switchOnAndTick() {
        distiller.Start_Distiller();
        tickToEnd();
    }
    // One tick, and its pass to the end (a real Ghostscript takes its time).
    void tickToEnd() {
        distiller.tick();
        QTRY_VERIFY_WITH_TIMEOUT(!distiller.isPassInProgress(), 60000);
    }
};

// A distiller on the stand-in platform.
using EngineFixture = DistillerFixture<FakeProcesses, FakeFolderFiles>;
