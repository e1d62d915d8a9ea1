// Merges with the installed Ghostscript through the real platform layer,
// judged by pdfinfo, pdftotext and qpdf.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include "merge/merge_job.h"
#include "platform/linux/linux_folder_files.h"
#include "platform/linux/linux_processes.h"
#include "support/engine_fixture.h"

namespace {

// One page per text, each page showing its text.
QByteArray pagesShowing(const QStringList& texts) {
    QByteArray program = "%!PS\n/Helvetica findfont 24 scalefont setfont\n";
    for (const QString& text : texts) {
        program += "72 700 moveto (" + text.toLatin1() + ") show showpage\n";
    }
    return program;
}

// Standard output of a tool, or what went wrong.
QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return "<failed> " + QString::fromLocal8Bit(process.readAllStandardError());
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

}  // namespace

class TestMergeGs : public QObject {
    Q_OBJECT

    std::unique_ptr<DistillerFixture<LinuxProcesses, LinuxFolderFiles>> f;
    std::unique_ptr<MergeJob> job;
    QString merge;  // with a blank in its name
    QString pdf;    // the merged file's name

    // Merges the rows under the proposed name; the texts of the pages.
    QStringList mergeRows(const QStringList& rows) {
        QSignalSpy finished(job.get(), &MergeJob::finished);
        if (job->start(rows) != MergeJob::Start::Started ||
            !(finished.count() > 0 || finished.wait(30000))) {
            return {"<no run>"};
        }
        QStringList pages;
        const QString info = run("pdfinfo", {f->output + pdf});
        const int count = info.section("Pages:", 1).section('\n', 0, 0).toInt();
        for (int page = 1; page <= count; ++page) {
            pages << run("pdftotext", {"-f", QString::number(page), "-l", QString::number(page),
                                       f->output + pdf, "-"})
                         .trimmed();
        }
        return pages;
    }

  private slots:
    void init() {
        for (const char* tool : {"gs", "pdfinfo", "pdftotext", "qpdf"}) {
            QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
                     qPrintable(QString(tool) + " is missing; scripts/install-deps installs it"));
        }
        pdf = QStringLiteral("Merged_File_0001.pdf");
        f = std::make_unique<DistillerFixture<LinuxProcesses, LinuxFolderFiles>>();
        job = std::make_unique<MergeJob>(f->context, f->distiller);
        merge = f->root.path() + "/merge folder/";
        QVERIFY(QDir().mkpath(merge));
        f->config.setPath(PathKind::ComposeFolder, merge);
        f->config.setPath(PathKind::GSPath, QStandardPaths::findExecutable("gs"));
        writeFile(f->root.path() + "/a.ps", pagesShowing({"PageA1", "PageA2"}));
        QCOMPARE(run("gs", {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pdfwrite",
                            "-sOutputFile=" + merge + "a.pdf", f->root.path() + "/a.ps"}),
                 QString());
        writeFile(merge + "b.ps", pagesShowing({"PageB"}));
    }
    void cleanup() {
        job.reset();
        f.reset();
    }

    void mergesInListOrder() {
        QCOMPARE(mergeRows({"a.pdf", "b.ps", ""}), QStringList({"PageA1", "PageA2", "PageB"}));
        QCOMPARE(f->results.entries, QStringList{f->output + pdf});
        QCOMPARE(f->config.counter(), 1.0);
        // It may hold passwords: for its owner's eyes only.
        QCOMPARE(QFile(merge + "gscommand.txt").permissions(),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    }

    void encryptsWithAnEmptyUserPassword() {
        f->config.opts.useEncryption = true;
        f->config.opts.ownerPassword = QStringLiteral("owner");
        QCOMPARE(mergeRows({"b.ps", "a.pdf", ""}), QStringList({"PageB", "PageA1", "PageA2"}));
        QVERIFY(run("qpdf", {"--show-encryption", f->output + pdf}).split(u'\n').contains("R = 2"));
    }

    // Names go to Ghostscript as they are: a double quote in a file's name,
    // a per cent sign in the merged file's.
    void namesArriveAsTheyAre() {
        writeFile(merge + "say \"hi\".ps", pagesShowing({"Quoted"}));
        f->prompts.inputs = {QStringLiteral("100% done")};
        pdf = QStringLiteral("100% done.pdf");
        QCOMPARE(mergeRows({"say \"hi\".ps", "b.ps", ""}), QStringList({"Quoted", "PageB"}));
        QCOMPARE(f->results.entries, QStringList{f->output + pdf});
    }

    void brokenInputFails() {
        writeFile(merge + "broken.ps", "%!PS\nnosuchoperator\n");
        mergeRows({"a.pdf", "broken.ps", ""});
        QCOMPARE(f->results.entries, QStringList{"failed: " + f->output + pdf});
        QCOMPARE(f->config.counter(), 0.0);
        QVERIFY(!QFile::exists(f->output + pdf));
        QCOMPARE(f->prompts.shown.size(), 1);
        QCOMPARE(QDir(f->output).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestMergeGs)
#include "test_merge_gs.moc"
