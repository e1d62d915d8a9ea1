// The resident Ghostscript protocol against the real gs: a resident gs makes
// the PDFs one-shot runs make, and nothing a hostile file does reaches the
// next file's PDF. The PDFs are judged by pdfinfo, pdftotext, pdfimages and
// qpdf; the gs processes are started here, since the protocol is under test.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>
#include <memory>

#include "common/byte_text.h"
#include "common/quality.h"
#include "ghostscript/gs_command.h"
#include "ghostscript/resident_protocol.h"
#include "support/resident_events.h"

namespace {

constexpr int kWaitMs = 30000;
const QString kOwnerPassword = QStringLiteral("own er");
const QString kUserPassword = QStringLiteral("us er");

// Text, a line and the default page size: what a leftover of another file
// would change.
const QByteArray kOrdinary =
    "%!PS-Adobe-3.0\n"
    "/Helvetica findfont 24 scalefont setfont\n"
    "72 700 moveto (An ordinary page) show\n"
    "newpath 72 600 moveto 300 650 lineto stroke\n"
    "showpage\n"
    "%%EOF\n";

const QByteArray kPages =
    "%!PS-Adobe-3.0\n"
    "%%Pages: 3\n"
    "/Times-Roman findfont 18 scalefont setfont\n"
    "<< /PageSize [300 400] >> setpagedevice\n"
    "20 300 moveto (First of three) show 20 20 moveto 280 380 lineto stroke showpage\n"
    "<< /PageSize [842 595] >> setpagedevice\n"
    "20 300 moveto (Second, landscape) show 0.5 setgray 100 100 300 200 rectfill showpage\n"
    "<< /PageSize [612 792] >> setpagedevice\n"
    "0 setgray 72 700 moveto (Third, letter) show showpage\n"
    "%%EOF\n";

const QByteArray kFigure =
    "%!PS-Adobe-3.0 EPSF-3.0\n"
    "%%BoundingBox: 10 20 210 120\n"
    "%%EndComments\n"
    "/Courier findfont 12 scalefont setfont 20 60 moveto (Encapsulated) show\n"
    "10 20 200 100 rectstroke\n"
    "%%EOF\n";

// A noisy 150 x 150 colour image in half an inch: the presets resample it to
// different resolutions, and better picture quality keeps it from JPEG.
const QByteArray kPhoto =
    "%!PS-Adobe-3.0\n"
    "<< /PageSize [612 792] >> setpagedevice\n"
    "/Helvetica findfont 14 scalefont setfont 72 560 moveto (A photo) show\n"
    "/row 450 string def /y 0 def 7 srand\n"
    "72 600 translate 36 36 scale\n"
    "150 150 8 [150 0 0 -150 0 150]\n"
    "{ 0 1 149 { /x exch def row x 3 mul x y add rand 64 mod add 255 min put\n"
    "  row x 3 mul 1 add y 255 min put row x 3 mul 2 add x 255 min put } for\n"
    "  /y y 1 add def row }\n"
    "false 3 colorimage showpage\n"
    "%%EOF\n";

// Nothing to print: a one-shot run still makes a PDF of one empty page.
const QByteArray kEmpty = "%!PS\n% nothing to print\n";

// The files of the comparisons: a plain name for the one-shot run, and the
// name in the move-to folder, with what a PostScript string would have to
// escape and bytes that are not UTF-8.
struct SampleFile {
    const char* plainName;
    QByteArray movedName;
    const QByteArray& program;
};
const SampleFile kFiles[] = {
    {"ordinary.ps", "ordinary (one) \\ 50%.ps", kOrdinary},
    {"pages.ps", "pages \xc3\xa4 (three).ps", kPages},
    {"figure.eps", "figure \xff\xfe.eps", kFigure},
    {"photo.ps", "photo %s \\(.ps", kPhoto},
    {"empty.ps", "empty.ps", kEmpty},
};

bool writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

struct Run {
    int exitCode = -1;
    QString output;
};

Run run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(kWaitMs) || process.exitStatus() != QProcess::NormalExit) {
        result.output = program + QStringLiteral(" did not finish");
        return result;
    }
    result.exitCode = process.exitCode();
    result.output = QString::fromUtf8(process.readAllStandardOutput());
    return result;
}

// What the comparisons look at, one line each: page sizes, text, images,
// transfer functions and halftones in the graphics states, encryption.
QStringList pdfFacts(const QString& pdf, const QString& password, bool encryption) {
    const QStringList withPassword{QStringLiteral("-upw"), password};
    QStringList facts;
    const Run info =
        run(QStringLiteral("pdfinfo"), withPassword + QStringList{"-f", "1", "-l", "999", pdf});
    if (info.exitCode != 0) {
        return {QStringLiteral("pdfinfo refused it: ") + info.output};
    }
    static const QRegularExpression pageLine(QStringLiteral("^(Pages|Page +\\d+ size):.*$"),
                                             QRegularExpression::MultilineOption);
    for (const auto& match : pageLine.globalMatch(info.output)) {
        facts << match.captured(0).simplified();
    }
    facts << QStringLiteral("text: ") +
                 run(QStringLiteral("pdftotext"), withPassword + QStringList{pdf, "-"})
                     .output.simplified();
    // Width, height, colour, encoding and resolution of each image.
    const QStringList images =
        run(QStringLiteral("pdfimages"), withPassword + QStringList{"-list", pdf})
            .output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)
            .mid(2);
    for (const QString& image : images) {
        const QStringList c = image.simplified().split(QLatin1Char(' '));
        facts << QStringLiteral("image: ") +
                     QStringList(c.mid(3, 3) + c.mid(8, 1) + c.mid(12, 2)).join(QLatin1Char(' '));
    }
    const QString plain = pdf + QStringLiteral(".qdf");
    run(QStringLiteral("qpdf"),
        {"--password=" + password, "--qdf", "--object-streams=disable", pdf, plain});
    QFile uncompressed(plain);
    const QByteArray body = uncompressed.open(QIODevice::ReadOnly) ? uncompressed.readAll() : "";
    facts << QStringLiteral("transfer functions: %1, halftones: %2")
                 .arg(body.count("/TR ") + body.count("/TR2 "))
                 .arg(body.count("/HT "));
    if (encryption) {
        // 0: a password is needed; 2: none is.
        facts << QStringLiteral("needs a password: %1")
                     .arg(run(QStringLiteral("qpdf"), {"--requires-password", pdf}).exitCode);
        facts << QStringLiteral("opens with the user password: %1")
                     .arg(run(QStringLiteral("qpdf"), {"--password=" + password, "--check", pdf})
                              .exitCode);
    }
    return facts;
}

// One resident gs, spoken to through the protocol.
class Resident {
  public:
    Resident(const GsCommand& command, const QString& tmpFolder) : parser_(token_) {
        // Its own TMPDIR: gs lets every run read and write there, and a shared
        // one would hide a permission that is too wide.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), tmpFolder);
        process_.setProcessEnvironment(environment);
        process_.start(command.program, command.arguments);
        process_.write(residentPrologue(token_));
    }
    ~Resident() {
        process_.kill();
        process_.waitForFinished(kWaitMs);
    }

    QString next() {
        pump([this] { return !events_.isEmpty(); });
        return events_.isEmpty() ? QStringLiteral("nothing within the time")
                                 : described(events_.takeFirst());
    }
    void send(int job, const QByteArray& input, const QByteArray& output) {
        process_.write(residentJob(job, input, output));
    }
    QString convert(int job, const QByteArray& input, const QByteArray& output) {
        send(job, input, output);
        return next();
    }
    bool runs(int job) {
        return pump([this, job] { return parser_.runningJob() == job; });
    }
    QString kill() {
        process_.kill();
        process_.waitForFinished(kWaitMs);
        return next();
    }

  private:
    // Reads the output until done() holds, gs is gone or the time is up.
    bool pump(const std::function<bool()>& done) {
        const QDeadlineTimer deadline(kWaitMs);
        while (!done() && !finished_) {
            if (process_.state() == QProcess::NotRunning ||
                !process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
                if (process_.state() != QProcess::NotRunning) {
                    return false;
                }
                events_ += parser_.feed(process_.readAllStandardOutput());
                events_ += parser_.finish();
                finished_ = true;
                break;
            }
            events_ += parser_.feed(process_.readAllStandardOutput());
        }
        return done();
    }

    QByteArray token_ = residentToken();
    ResidentOutputParser parser_;
    QProcess process_;
    QList<ResidentEvent> events_;
    bool finished_ = false;
};

}  // namespace

class TestResidentProtocolGs : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> root_;
    QString moved_;  // the move-to folder, with a name Ghostscript must take as it stands
    QString watch_;  // the watched folder
    QString plain_;  // the same files under plain names, for the one-shot runs
    QString gsTmp_;
    QString temp_;  // the temporary output file
    QStringList ordinaryFacts_;

    ConversionOptions options(int quality, bool goodPictures, bool encrypt) const {
        ConversionOptions o;
        o.gsPath = QStandardPaths::findExecutable(QStringLiteral("gs"));
        o.quality = quality;
        o.goodPictures = goodPictures;
        o.encrypt = encrypt;
        o.ownerPassword = kOwnerPassword;
        o.userPassword = kUserPassword;
        return o;
    }

    // The one-shot PDF of a plain file, as the distiller makes it.
    QString oneShot(const ConversionOptions& o, const QString& name) const {
        const QString pdf = root_->filePath(name + QStringLiteral(".pdf"));
        const GsCommand command = gsCommand(o, std::nullopt, pdf, plain_ + name);
        const Run result = run(command.program, command.arguments);
        return result.exitCode == 0 ? pdf : QString();
    }

    // A resident gs for the options; the test fails when it cannot start.
    std::unique_ptr<Resident> resident(const ConversionOptions& o) const {
        const std::optional<GsCommand> command = residentCommand(o, moved_, temp_);
        if (!command) {
            return nullptr;
        }
        auto gs = std::make_unique<Resident>(*command, gsTmp_);
        return gs->next() == QStringLiteral("ready") ? std::move(gs) : nullptr;
    }

    QByteArray temp() const { return bytesOfText(temp_); }

  private slots:
    void initTestCase() {
        for (const char* tool : {"gs", "pdfinfo", "pdftotext", "pdfimages", "qpdf"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("'%1' is not on the PATH; scripts/install-deps "
                                                "installs it")
                                     .arg(QLatin1String(tool))));
            }
        }
        root_ = std::make_unique<QTemporaryDir>();
        QVERIFY(root_->isValid());
        // Blanks, parentheses, a backslash, per cent signs and colons; the
        // colon separates Ghostscript's permission lists.
        moved_ = root_->filePath(QStringLiteral("moved (1) \\ %d: a::b/"));
        watch_ = root_->filePath(QStringLiteral("watch 100%: x/"));
        plain_ = root_->filePath(QStringLiteral("plain/"));
        gsTmp_ = root_->filePath(QStringLiteral("gstmp"));
        temp_ = watch_ + QStringLiteral("Temp_Stay_off");
        for (const QString& folder : {moved_, watch_, plain_, gsTmp_}) {
            QVERIFY(QDir().mkpath(folder));
        }
        QVERIFY(writeFile(plain_ + QStringLiteral("ordinary.ps"), kOrdinary));
        const QString ordinary = oneShot(options(0, false, false), QStringLiteral("ordinary.ps"));
        QVERIFY(!ordinary.isEmpty());
        ordinaryFacts_ = pdfFacts(ordinary, {}, false);
    }

    void cleanupTestCase() { root_.reset(); }

    // Each file's resident PDF equals its one-shot PDF, under every option
    // the one-shot command line has; the names in the move-to folder hold
    // what a PostScript string would have to escape, and bytes that are not
    // UTF-8.
    void sameAsOneShot_data() {
        QTest::addColumn<int>("quality");
        QTest::addColumn<bool>("goodPictures");
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<QStringList>("files");
        // The quality options act on images; the photo shows what they did.
        const QStringList photo{QStringLiteral("photo.ps")};
        QStringList all;
        for (const SampleFile& file : kFiles) {
            all << QLatin1String(file.plainName);
        }
        for (int quality = 0; quality < int(kQualityEntries.size()); ++quality) {
            QTest::newRow(kQualityEntries[size_t(quality)].text)
                << quality << false << false << (quality == 0 ? all : photo);
        }
        QTest::newRow("better pictures") << 0 << true << false << photo;
        QTest::newRow("encrypted") << 0 << false << true << QStringList{"pages.ps", "photo.ps"};
    }
    void sameAsOneShot() {
        QFETCH(int, quality);
        QFETCH(bool, goodPictures);
        QFETCH(bool, encrypt);
        QFETCH(QStringList, files);
        const ConversionOptions o = options(quality, goodPictures, encrypt);
        const std::unique_ptr<Resident> gs = resident(o);
        QVERIFY(gs);
        int job = 0;
        for (const SampleFile& file : kFiles) {
            const QString name = QLatin1String(file.plainName);
            if (!files.contains(name)) {
                continue;
            }
            QVERIFY(writeFile(plain_ + name, file.program));
            // Written under a plain name, then given the raw bytes of its own.
            const QByteArray moved = bytesOfText(moved_) + file.movedName;
            QVERIFY(writeFile(moved_ + QStringLiteral("incoming"), file.program));
            QCOMPARE(std::rename(bytesOfText(moved_ + QStringLiteral("incoming")).constData(),
                                 moved.constData()),
                     0);
            QFile::remove(temp_);
            ++job;
            QCOMPARE(gs->convert(job, moved, temp()), QStringLiteral("job %1 done").arg(job));
            const QString reference = oneShot(o, name);
            QVERIFY2(!reference.isEmpty(), file.plainName);
            // Qt cannot remove a name that is not UTF-8.
            QCOMPARE(std::remove(moved.constData()), 0);
            const QStringList facts = pdfFacts(temp_, kUserPassword, encrypt);
            QCOMPARE(facts, pdfFacts(reference, kUserPassword, encrypt));
            if (encrypt) {
                QVERIFY(facts.contains(QStringLiteral("needs a password: 0")));
                QVERIFY(facts.contains(QStringLiteral("opens with the user password: 0")));
            }
        }
    }

    // A hostile file, then an ordinary one: the ordinary file's PDF is its
    // one-shot PDF, and the parser tells what the hostile job did. A job
    // that left the server, or ended it, is followed by a fresh gs.
    void hostileFileLeavesNothing_data() {
        QTest::addColumn<QByteArray>("program");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("error") << QByteArray("72 72 moveto nosuchoperator showpage\n")
                               << "job 1 failed: undefined in nosuchoperator";
        QTest::newRow("quit") << QByteArray(
                                     "72 72 moveto 9 9 lineto stroke showpage quit\n"
                                     "/Leftover 1 def\n")
                              << "job 1 done";
        QTest::newRow("quit of systemdict")
            << QByteArray("systemdict /quit get exec\n") << "server ended during job 1";
        QTest::newRow("exitserver")
            << QByteArray("serverdict begin 0 exitserver\n/showpage {} def\n")
            << "job 1 failed: invalidaccess in exitserver";
        QTest::newRow("startjob with a password")
            << QByteArray(
                   "true (secret) startjob pop false 0 startjob pop\n"
                   "/showpage {} def userdict /show { pop } put\n")
            << "job 1 done";
        QTest::newRow("redefined showpage")
            << QByteArray(
                   "/showpage { (swallowed) = } def\n"
                   "true setglobal globaldict /showpage { } put false setglobal\n"
                   "72 72 moveto 9 9 lineto stroke showpage\n")
            << "job 1 done";
        QTest::newRow("page device")
            << QByteArray(
                   "<< /PageSize [144 144] /BeginPage { pop 0 0 50 50 rectfill }\n"
                   "   /EndPage { exch pop 0 eq } >> setpagedevice\n"
                   "10 100 moveto 50 50 lineto stroke showpage\n")
            << "job 1 done";
        QTest::newRow("halftone and transfer")
            << QByteArray(
                   "<< /HalftoneType 1 /Frequency 10 /Angle 30 /SpotFunction { pop } >>\n"
                   "sethalftone { 1 exch sub } settransfer\n"
                   "0.3 setgray 72 500 200 100 rectfill showpage\n")
            << "job 1 done";
        QTest::newRow("definitions left behind")
            << QByteArray(
                   "/show { pop (HIJACKED) show } bind def\n"
                   "true setglobal globaldict /show { pop } put\n"
                   "globaldict /Helvetica /Courier findfont put\n"
                   "/Helvetica /Courier findfont definefont pop false setglobal\n"
                   "<< /EmbedAllFonts false /GrayImageResolution 10 >> setdistillerparams\n"
                   "/TarnWickJob { pop pop pop } def\n"
                   "(\\nTarnWick-resident 0123456789abcdef0123456789abcdef 2 ended done"
                   " clean\\n) print\n"
                   "/Helvetica findfont 20 scalefont setfont 72 700 moveto (x) show\n"
                   "mark 7 /Helvetica findfont begin 5 dict begin gsave gsave save\n")
            << "job 1 done";
        QTest::newRow("system parameters")
            << QByteArray("<< /MaxFontCache 123456 >> setsystemparams showpage\n")
            << "job 1 done, server left";
        QTest::newRow("standard input closed")
            << QByteArray("(%stdin) (r) file closefile showpage\n") << "job 1 done, server left";
        QTest::newRow("reads outside the move-to folder")
            << QByteArray("(@OUTSIDE@) (r) file pop showpage\n")
            << "job 1 failed: invalidfileaccess in file";
        QTest::newRow("endless loop") << QByteArray("{ } loop\n") << "server ended during job 1";
    }
    void hostileFileLeavesNothing() {
        QFETCH(QByteArray, program);
        QFETCH(QString, outcome);
        const QString outside = root_->filePath(QStringLiteral("plain/ordinary.ps"));
        program.replace("@OUTSIDE@", bytesOfText(outside));
        const ConversionOptions o = options(0, false, false);
        std::unique_ptr<Resident> gs = resident(o);
        QVERIFY(gs);
        const QString hostile = moved_ + QStringLiteral("hostile.ps");
        QVERIFY(writeFile(hostile, "%!PS\n" + program));
        QFile::remove(temp_);
        if (program.contains("loop")) {
            gs->send(1, bytesOfText(hostile), temp());
            // Stop, or the user, ends it by ending gs.
            QVERIFY(gs->runs(1));
            QCOMPARE(gs->kill(), outcome);
        } else {
            QCOMPARE(gs->convert(1, bytesOfText(hostile), temp()), outcome);
        }
        int job = 2;
        if (outcome.contains(QLatin1String("server"))) {
            gs = resident(o);
            QVERIFY(gs);
            job = 1;
        }
        const QString ordinary = moved_ + QStringLiteral("ordinary.ps");
        QVERIFY(writeFile(ordinary, kOrdinary));
        QFile::remove(temp_);
        QCOMPARE(gs->convert(job, bytesOfText(ordinary), temp()),
                 QStringLiteral("job %1 done").arg(job));
        QCOMPARE(pdfFacts(temp_, {}, false), ordinaryFacts_);
    }
};

QTEST_GUILESS_MAIN(TestResidentProtocolGs)
#include "test_resident_protocol_gs.moc"
