// Conversions through the real platform layer: the distiller starts real
// processes, mostly the installed Ghostscript, and the PDFs it leaves behind
// are judged by pdfinfo, pdfimages and qpdf rather than by what the command
// line looked like.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <memory>

#include "distill/file_type.h"
#include "platform/linux/linux_folder_files.h"
#include "platform/linux/linux_processes.h"
#include "support/engine_fixture.h"

namespace {

// A one-page PostScript program of the given page size in points.
QByteArray onePage(int width, int height) {
    return QStringLiteral(
               "%!PS-Adobe-3.0\n"
               "<< /PageSize [%1 %2] >> setpagedevice\n"
               "newpath 36 36 moveto 100 100 lineto stroke\n"
               "showpage\n"
               "%%EOF\n")
        .arg(width)
        .arg(height)
        .toLatin1();
}

QByteArray pages(int count, int width, int height) {
    QByteArray program = QStringLiteral(
                             "%!PS-Adobe-3.0\n"
                             "<< /PageSize [%1 %2] >> setpagedevice\n")
                             .arg(width)
                             .arg(height)
                             .toLatin1();
    for (int page = 1; page <= count; ++page) {
        program += QStringLiteral("newpath 36 36 moveto %1 100 lineto stroke showpage\n")
                       .arg(36 + page * 20)
                       .toLatin1();
    }
    return program + "%%EOF\n";
}

// An EPS that frames its own bounding box, so that the drawing fills it.
QByteArray eps(const QString& box) {
    const QStringList c = box.split(QLatin1Char(' '));
    return QStringLiteral(
               "%!PS-Adobe-3.0 EPSF-3.0\n"
               "%%BoundingBox: %1\n"
               "%%EndComments\n"
               "newpath %2 %3 moveto %4 %5 lineto stroke\n"
               "%2 %3 %4 %2 sub %5 %3 sub rectstroke\n"
               "showpage\n"
               "%%EOF\n")
        .arg(box, c[0], c[1], c[2], c[3])
        .toLatin1();
}

// A one-inch square holding a 300 x 300 grey image: the quality presets
// differ in the resolution they resample such an image to.
QByteArray imagePage() {
    return "%!PS-Adobe-3.0\n"
           "<< /PageSize [612 792] >> setpagedevice\n"
           "/row 300 string def /y 0 def\n"
           "72 600 translate 72 72 scale\n"
           "300 300 8 [300 0 0 -300 0 300]\n"
           "{ 0 1 299 { dup y add 7 mul 256 mod row 3 1 roll put } for /y y 1 add def row }\n"
           "image showpage\n"
           "%%EOF\n";
}

struct Run {
    int exitCode = -1;
    QString output;  // standard output and error together
};

Run run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        result.output = QStringLiteral("%1 did not finish: %2").arg(program, process.errorString());
        return result;
    }
    result.exitCode = process.exitCode();
    result.output = QString::fromLocal8Bit(process.readAll());
    return result;
}

// A field of pdfinfo's report ("Pages", "Page size"), without the padding.
QString infoField(const QString& report, const QString& field) {
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                  QRegularExpression::MultilineOption);
    return line.match(report).captured(1).trimmed();
}

}  // namespace

class TestConversionGs : public QObject {
    Q_OBJECT

    QString gs_;
    QString pdfinfo_;
    QString pdfimages_;
    QString qpdf_;

    using Fixture = DistillerFixture<LinuxProcesses, LinuxFolderFiles>;
    std::unique_ptr<Fixture> f;
    QString watch_;  // each ends in "/"
    QString moved_;
    QString output_;

    // The folders live under base, which may be a folder with a blank in it.
    void makeFolders(const QString& base) {
        watch_ = base + QStringLiteral("watch/");
        moved_ = base + QStringLiteral("moved/");
        output_ = base + QStringLiteral("output/");
        for (const QString& folder : {watch_, moved_, output_}) {
            QVERIFY(QDir().mkpath(folder));
        }
        f->config.setPath(PathKind::WatchDirpath, watch_);
        f->config.setPath(PathKind::MoveToFolder, moved_);
        f->config.setPath(PathKind::Outputpath, output_);
    }

    // One pass as the timer would run it, waited for to its end.
    void distillOnce() { f->switchOnAndTick(); }

    // A copy of the stand-in Ghostscript in a folder whose name has a blank,
    // configured as the Ghostscript to use.
    QString useFakeGhostscript() {
        const QString fake = qEnvironmentVariable("TARNWICK_FAKE_GS");
        if (fake.isEmpty() || !exists(fake)) {
            qWarning("TARNWICK_FAKE_GS does not name the stand-in Ghostscript: '%s'",
                     qPrintable(fake));
            return {};
        }
        const QString folder = f->root.path() + QStringLiteral("/my gs");
        QDir().mkpath(folder);
        const QString copy = folder + QStringLiteral("/gs");
        QFile::copy(fake, copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner);
        f->config.setPath(PathKind::GSPath, copy);
        return copy;
    }

    Run pdfinfo(const QString& pdf, const QStringList& extra = {}) const {
        return run(pdfinfo_, extra + QStringList{pdf});
    }

    // Checks that path is a PDF pdfinfo opens, with the page count and, when
    // given, the page size ("612 x 792").
    void verifyPdf(const QString& path, int pageCount, const QString& pageSize = {}) const {
        QVERIFY2(exists(path), qPrintable(path + " was not made"));
        const Run info = pdfinfo(path);
        QVERIFY2(info.exitCode == 0, qPrintable(info.output));
        QCOMPARE(infoField(info.output, QStringLiteral("Pages")), QString::number(pageCount));
        if (!pageSize.isEmpty()) {
            QVERIFY2(infoField(info.output, QStringLiteral("Page size")).startsWith(pageSize),
                     qPrintable(info.output));
        }
    }

  private slots:
    void initTestCase() {
        // Not skipped: the install script installs all of these, so their
        // absence is a broken set-up that has to show.
        const struct {
            QString* path;
            const char* name;
            const char* package;
        } tools[] = {{&gs_, "gs", "ghostscript"},
                     {&pdfinfo_, "pdfinfo", "poppler-utils"},
                     {&pdfimages_, "pdfimages", "poppler-utils"},
                     {&qpdf_, "qpdf", "qpdf"}};
        for (const auto& tool : tools) {
            *tool.path = QStandardPaths::findExecutable(QLatin1String(tool.name));
            if (tool.path->isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("'%1' is not on the PATH; install the Debian "
                                                "package %2 (scripts/install-deps does)")
                                     .arg(QLatin1String(tool.name), QLatin1String(tool.package))));
            }
        }
    }

    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->root.isValid());
        makeFolders(f->root.path() + QLatin1Char('/'));
        f->config.setPath(PathKind::GSPath, gs_);
    }

    void cleanup() {
        f.reset();
        qunsetenv("FAKE_GS_LOG");
        qunsetenv("FAKE_GS_WRITE");
        qunsetenv("FAKE_GS_SLEEP_MS");
    }

    void convertsPostScriptAndLeavesOtherFiles() {
        writeFile(watch_ + "a.ps", onePage(612, 792));
        writeFile(watch_ + "b.txt", "not PostScript\n");
        writeFile(watch_ + "c.EPS", eps(QStringLiteral("0 0 200 100")));
        // The pass takes the files in the folder's own listing order, which a
        // real file system does not fix; the platform's listing tells it.
        QStringList expected;
        for (const QString& name : entryNames(f->files, watch_)) {
            if (isPostScriptName(name)) {
                expected.append(output_ + pdfBaseName(name) + ".pdf");
            }
        }
        QCOMPARE(expected.size(), 2);
        distillOnce();

        verifyPdf(output_ + "a.pdf", 1, QStringLiteral("612 x 792 pts"));
        // Bounding-box mode is off, so the EPS lands on Ghostscript's default
        // paper, which depends on the local paper set-up: only count pages.
        verifyPdf(output_ + "c.pdf", 1);
        QVERIFY(exists(watch_ + "b.txt"));
        QVERIFY(!exists(watch_ + "a.ps") && !exists(watch_ + "c.EPS"));
        QCOMPARE(readFile(moved_ + "a.ps"), onePage(612, 792));
        QVERIFY(exists(moved_ + "c.EPS"));
        QVERIFY(!exists(watch_ + QLatin1String(FileConversion::kTempFileName)));
        QCOMPARE(QSet<QString>(expected.begin(), expected.end()),
                 QSet<QString>({output_ + "a.pdf", output_ + "c.pdf"}));
        QCOMPARE(f->results.entries, expected);
        QCOMPARE(f->config.counter(), 2.0);
        QCOMPARE(QDir(output_).entryList(QDir::Files).size(), 2);
    }

    void pageCountAndSize_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("program");
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<QString>("pageSize");
        QTest::newRow("one letter page")
            << "one.ps" << onePage(612, 792) << "one.pdf" << 1 << "612 x 792 pts";
        QTest::newRow("two A4 pages")
            << "two.ps" << pages(2, 595, 842) << "two.pdf" << 2 << "595 x 842 pts";
        QTest::newRow("three pages, .prn")
            << "job.prn" << pages(3, 420, 595) << "job.pdf" << 3 << "420 x 595 pts";
        QTest::newRow("upper-case .PLT")
            << "plot.PLT" << onePage(842, 595) << "plot.pdf" << 1 << "842 x 595 pts";
    }
    void pageCountAndSize() {
        QFETCH(QString, name);
        QFETCH(QByteArray, program);
        QFETCH(QString, pdf);
        QFETCH(int, pageCount);
        QFETCH(QString, pageSize);
        writeFile(watch_ + name, program);
        distillOnce();
        verifyPdf(output_ + pdf, pageCount, pageSize);
        QCOMPARE(f->results.entries, QStringList{output_ + pdf});
        QCOMPARE(f->config.counter(), 1.0);
    }

    // The -g size is the sum llx+urx by lly+ury, times ten; pdfwrite counts
    // 720 device pixels to the inch, so ten pixels make one point. -g also
    // fixes the media, so the page takes the -g size even where -dEPSCrop
    // would have cropped to the box: a box at the origin gives exactly the
    // box, a box away from it a page larger by twice llx and lly (Ghostscript 10
    // still moves the drawing to the lower-left corner). Without a
    // %%BoundingBox line neither switch is given and the program's own page
    // size holds.
    void boundingBoxPageSize_data() {
        QTest::addColumn<QByteArray>("program");
        QTest::addColumn<QString>("pageSize");
        QTest::newRow("box at the origin") << eps(QStringLiteral("0 0 200 100")) << "200 x 100 pts";
        QTest::newRow("box away from the origin")
            << eps(QStringLiteral("50 20 250 120")) << "300 x 140 pts";
        QTest::newRow("no bounding box") << onePage(612, 792) << "612 x 792 pts";
    }
    void boundingBoxPageSize() {
        QFETCH(QByteArray, program);
        QFETCH(QString, pageSize);
        f->config.opts.useBoundingBox = true;
        writeFile(watch_ + "box.eps", program);
        distillOnce();
        verifyPdf(output_ + "box.pdf", 1, pageSize);
    }

    void encryptionNeedsTheUserPassword() {
        f->config.opts.useEncryption = true;
        f->config.opts.ownerPassword = QStringLiteral("owner");
        f->config.opts.userPassword = QStringLiteral("user");
        writeFile(watch_ + "secret.ps", onePage(612, 792));
        distillOnce();
        const QString pdf = output_ + "secret.pdf";
        QVERIFY2(exists(pdf), "no PDF was made");

        const Run shown = run(qpdf_, {"--show-encryption", "--password=user", pdf});
        QVERIFY2(shown.exitCode == 0, qPrintable(shown.output));
        QVERIFY2(shown.output.contains(QRegularExpression(QStringLiteral("^R = 2$"),
                                                          QRegularExpression::MultilineOption)),
                 qPrintable(shown.output));
        QVERIFY2(shown.output.contains(QStringLiteral("User password = user")),
                 qPrintable(shown.output));
        QVERIFY2(shown.output.contains(QStringLiteral("Supplied password is user password")),
                 qPrintable(shown.output));
        QVERIFY2(!shown.output.contains(QStringLiteral("not encrypted")), qPrintable(shown.output));
        // The owner password opens it as the owner.
        const Run asOwner = run(qpdf_, {"--show-encryption", "--password=owner", pdf});
        QVERIFY2(asOwner.output.contains(QStringLiteral("Supplied password is owner password")),
                 qPrintable(asOwner.output));

        // qpdf --requires-password: 0 when a password is needed, 2 when not.
        const Run needsPassword = run(qpdf_, {"--requires-password", pdf});
        QVERIFY2(needsPassword.exitCode == 0, qPrintable(needsPassword.output));

        const Run withPassword = pdfinfo(pdf, {"-upw", "user"});
        QVERIFY2(withPassword.exitCode == 0, qPrintable(withPassword.output));
        QCOMPARE(infoField(withPassword.output, QStringLiteral("Pages")), QStringLiteral("1"));
        QVERIFY2(infoField(withPassword.output, QStringLiteral("Encrypted")).startsWith("yes"),
                 qPrintable(withPassword.output));
        const Run withoutPassword = pdfinfo(pdf);
        QVERIFY2(withoutPassword.exitCode != 0, qPrintable(withoutPassword.output));
    }

    // The preset reaches Ghostscript when the image comes out at the preset's
    // colour resolution; the default keeps the image as drawn.
    void qualityPreset_data() {
        QTest::addColumn<int>("quality");  // the position in the quality list
        QTest::addColumn<int>("imageWidth");
        QTest::newRow("default") << 0 << 300;
        QTest::newRow("screen") << 1 << 72;
        QTest::newRow("printer") << 2 << 300;
        QTest::newRow("e-book") << 3 << 150;
    }
    void qualityPreset() {
        QFETCH(int, quality);
        QFETCH(int, imageWidth);
        f->config.opts.quality = quality;
        writeFile(watch_ + "picture.ps", imagePage());
        distillOnce();
        const QString pdf = output_ + "picture.pdf";
        verifyPdf(pdf, 1, QStringLiteral("612 x 792 pts"));

        const Run images = run(pdfimages_, {"-list", pdf});
        QVERIFY2(images.exitCode == 0, qPrintable(images.output));
        // Two heading lines, then one line per image: page num type width ...
        const QStringList lines = images.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(lines.size() == 3, qPrintable(images.output));
        const QStringList fields = lines[2].simplified().split(QLatin1Char(' '));
        QVERIFY2(fields.size() > 4, qPrintable(images.output));
        QCOMPARE(fields[3].toInt(), imageWidth);
    }

    void ghostscriptMissing() {
        f->config.setPath(PathKind::GSPath, f->root.path() + QStringLiteral("/no such folder/gs"));
        writeFile(watch_ + "a.ps", onePage(612, 792));
        distillOnce();
        QVERIFY(!exists(output_ + "a.pdf"));
        QVERIFY(QDir(output_).isEmpty());
        QVERIFY(!exists(watch_ + "a.ps"));
        QCOMPARE(readFile(moved_ + "a.ps"), onePage(612, 792));
        QCOMPARE(f->results.entries, QStringList{"failed: " + moved_ + "a.ps"});
        QCOMPARE(f->results.reasons, QStringList{"Ghostscript " + f->root.path() +
                                                 "/no such folder/gs could not be "
                                                 "started"});
        QCOMPARE(f->config.counter(), 0.0);
    }

    // What a started Ghostscript really receives, argument by argument, once
    // the command line has gone through the real process start. {watch} and
    // {moved} stand for the folders.
    void commandLineArguments_data() {
        QTest::addColumn<bool>("allOptions");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("plain") << false << QStringList{"-q",
                                                       "-dNOPAUSE",
                                                       "-dBATCH",
                                                       "-sDEVICE=pdfwrite",
                                                       "-sOutputFile={watch}Temp_Stay_off",
                                                       "{moved}a.ps"};
        QTest::newRow("bounding box, pictures, e-book, encryption without passwords")
            << true
            << QStringList{"-q",
                           "-dNOPAUSE",
                           "-dEPSCrop",
                           "-dAutoFilterColorImages=false",
                           "-dColorImageFilter=/FlateEncode",
                           "-sOwnerPassword=",
                           "-sUserPassword=",
                           "-dEncryptionR=2",
                           "-dKeylength=40",
                           "-dPDFSETTINGS=/ebook",
                           "-dBATCH",
                           "-sDEVICE=pdfwrite",
                           "-g2000x1000",
                           "-sOutputFile={watch}Temp_Stay_off",
                           "{moved}a.ps"};
    }
    void commandLineArguments() {
        QFETCH(bool, allOptions);
        QFETCH(QStringList, expected);
        QVERIFY(!useFakeGhostscript().isEmpty());
        // The folders too have a blank in their path, so that the quoting of
        // both file arguments is put to the test.
        makeFolders(f->root.path() + QStringLiteral("/in tray/"));
        const QString log = f->root.path() + QStringLiteral("/gs.log");
        qputenv("FAKE_GS_LOG", QFile::encodeName(log));
        if (allOptions) {
            f->config.opts.useBoundingBox = true;
            f->config.opts.goodPicQuality = true;
            f->config.opts.useEncryption = true;
            f->config.opts.quality = 3;  // E-book
        }
        writeFile(watch_ + "a.ps", eps(QStringLiteral("0 0 200 100")));
        distillOnce();

        for (QString& argument : expected) {
            argument.replace(QStringLiteral("{watch}"), watch_);
            argument.replace(QStringLiteral("{moved}"), moved_);
        }
        // One run: its arguments one per line, then a blank line.
        const QString logged = QString::fromLocal8Bit(readFile(log));
        QCOMPARE(logged, expected.join(QLatin1Char('\n')) + QStringLiteral("\n\n"));
        QCOMPARE(f->results.entries, QStringList{output_ + "a.pdf"});
        QVERIFY(readFile(output_ + "a.pdf").startsWith("%PDF-1.4\n% fake\n"));
    }

    void ghostscriptWritesNothing() {
        QVERIFY(!useFakeGhostscript().isEmpty());
        qputenv("FAKE_GS_WRITE", "no");
        f->config.opts.deletePSFiles = true;
        writeFile(watch_ + "a.ps", onePage(612, 792));
        distillOnce();
        QVERIFY(QDir(output_).isEmpty());
        QVERIFY(!exists(watch_ + "a.ps"));
        // Deleting is for converted files only: the copy is all there is.
        QCOMPARE(readFile(moved_ + "a.ps"), onePage(612, 792));
        QCOMPARE(f->results.entries, QStringList{"failed: " + moved_ + "a.ps"});
        QCOMPARE(f->results.reasons, QStringList{"Ghostscript ended with exit code 1"});
        // No PDF was made, so nothing counts.
        QCOMPARE(f->config.counter(), 0.0);
    }

    // Ghostscript stops on a file it cannot run but still writes the page it
    // had begun: a blank PDF that must not pass for the conversion.
    void brokenPostScriptIsNotListedAsConverted() {
        f->config.opts.deletePSFiles = true;
        writeFile(watch_ + "broken.ps", "%!PS\nnosuchoperator\n%%EOF\n");
        writeFile(watch_ + "good.ps", onePage(612, 792));
        distillOnce();
        QVERIFY(!exists(output_ + "broken.pdf"));
        QVERIFY(!exists(watch_ + "Temp_Stay_off"));
        QVERIFY(exists(moved_ + "broken.ps"));
        QVERIFY(f->results.entries.contains("failed: " + moved_ + "broken.ps"));
        QCOMPARE(f->results.reasons, QStringList{"Ghostscript ended with exit code 1"});
        verifyPdf(output_ + "good.pdf", 1, QStringLiteral("612 x 792"));
        QVERIFY(f->results.entries.contains(output_ + "good.pdf"));
    }

    // With the option on, one Ghostscript takes file after file: the PDFs are
    // the files' own, a broken file fails as it would alone, one that ends
    // Ghostscript is followed by a fresh one, and Stop ends it.
    void residentGhostscript() {
        f->config.opts.keepGhostscriptRunning = true;
        // A Ghostscript that notes every start of its own.
        const QString starts = f->root.path() + QStringLiteral("/starts");
        const QString wrapper = writeFile(
            f->root.path() + QStringLiteral("/gs"),
            QStringLiteral("#!/bin/sh\necho >>'%1'\nexec '%2' \"$@\"\n").arg(starts, gs_).toUtf8());
        QFile::setPermissions(wrapper, QFile::ReadOwner | QFile::ExeOwner);
        f->config.setPath(PathKind::GSPath, wrapper);
        writeFile(watch_ + "letter.ps", onePage(612, 792));
        writeFile(watch_ + "two.ps", pages(2, 595, 842));
        writeFile(watch_ + "broken.ps", "%!PS\nnosuchoperator\n%%EOF\n");
        writeFile(watch_ + "ends.ps", "%!PS\nsystemdict /quit get exec\n%%EOF\n");
        writeFile(watch_ + "wide.ps", onePage(842, 595));
        distillOnce();

        verifyPdf(output_ + "letter.pdf", 1, QStringLiteral("612 x 792"));
        verifyPdf(output_ + "two.pdf", 2, QStringLiteral("595 x 842"));
        verifyPdf(output_ + "wide.pdf", 1, QStringLiteral("842 x 595"));
        QVERIFY(f->results.entries.contains("failed: " + moved_ + "broken.ps"));
        QVERIFY(f->results.reasons.contains("Ghostscript ended with exit code 1"));
        QVERIFY(!exists(output_ + "broken.pdf"));
        // One Ghostscript, and a second after the one that ended it unless
        // that was the last file.
        const qsizetype started = readFile(starts).count('\n');
        QVERIFY2(started >= 1 && started <= 2, qPrintable(QString::number(started)));
        // The counter counts the PDFs made.
        const auto made = std::count_if(f->results.entries.cbegin(), f->results.entries.cend(),
                                        [](const QString& e) { return !e.startsWith("failed: "); });
        QCOMPARE(f->config.counter(), double(made));
        QVERIFY(made >= 3);

        const auto residentRuns = [this] {
            return run(QStringLiteral("pgrep"), {QStringLiteral("-f"), moved_}).exitCode == 0;
        };
        QVERIFY(residentRuns());
        f->distiller.Stop_Distiller();
        QTRY_VERIFY(!residentRuns());
    }
};

QTEST_GUILESS_MAIN(TestConversionGs)
#include "test_conversion_gs.moc"
