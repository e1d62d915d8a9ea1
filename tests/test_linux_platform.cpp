#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

#include "platform/linux_platform.h"
#include "widgets/qt_prompts.h"

namespace {

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(data), data.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Moves the modification time into the past, so that only open descriptors
// decide whether a file is held.
bool setModifiedAgo(const QString& path, qint64 milliseconds) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const qint64 ns = qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec - milliseconds * 1'000'000;
    const timespec times[2] = {{ns / 1'000'000'000, ns % 1'000'000'000},
                               {ns / 1'000'000'000, ns % 1'000'000'000}};
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

// Starts a shell that opens path on descriptor 3 with the given redirection
// and keeps it open until its input is closed.
void holdOpen(QProcess& holder, const QString& path, const QString& redirection) {
    holder.start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("exec 3%1\"$0\"; read x").arg(redirection), path});
    QVERIFY(holder.waitForStarted());
}

void releaseHold(QProcess& holder) {
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished());
}

// Runs action on the next modal dialog once it is shown.
void onModalDialog(const std::function<void(QWidget*)>& action) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start(10);
}

// Makes a thing of a kind at path: file, folder, pipe; none makes nothing.
void make(const QString& path, const QString& kind) {
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("file")) {
        writeFile(path, "old");
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(mkdir(name.constData(), 0700) == 0);
    } else if (kind == QLatin1String("pipe")) {
        QVERIFY(mkfifo(name.constData(), 0600) == 0);
    }
}

}  // namespace

class TestLinuxPlatform : public QObject {
    Q_OBJECT

  private slots:
    void init();

    void startedProcessRunsThenEnds();
    void quickProcessStillReportsItsEnd();
    void runInWorkingFolderEnds();
    void processNotStartedHereIsNotRunning();
    void exitCodeTellsFailure_data();
    void exitCodeTellsFailure();
    void startsProgramWithBlanksWithoutShell_data();
    void startsProgramWithBlanksWithoutShell();
    void unstartableProgramGivesNothing_data();
    void unstartableProgramGivesNothing();
    void runReadsEmptyInput();

    void listFilesReturnsVisibleRegularFiles();
    void listFilesOfMissingFolderIsEmpty();
    void fileExists();

    void removeFile();

    void readFileHead_data();
    void readFileHead();
    void readFileHeadOfUnreadable();

    void fileHeldByAnotherProcess_data();
    void fileHeldByAnotherProcess();
    void pipeHeldByAnotherProcess();
    void ownDescriptorsDoNotHold();
    void freshlyWrittenFileIsHeldBriefly();
    void missingFileIsNotHeld();

    void writeFileAtomicReplaces();
    void writePrivateFileReplacesLink();
    void writeFileAtomicIntoMissingFolder();
    void onlyOrdinaryFilesAreReadAndWritten_data();
    void onlyOrdinaryFilesAreReadAndWritten();
    void writeFileAtomicKeepsModeAndOwner_data();
    void writeFileAtomicKeepsModeAndOwner();
    void folders();
    void singleInstancePerUser();

    void messageAnswers_data();
    void messageAnswers();
    void inputAnswers();

    void terminationSignals_data();
    void terminationSignals();
    void noBoxWaitsAfterTermination();

  private:
    QString path(const QString& name) const { return dir_->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir_;
    // Fresh for every test, so that no late signal of one reaches the next.
    QtPrompts prompts_;
    std::unique_ptr<LinuxPlatform> platform_;
};

void TestLinuxPlatform::singleInstancePerUser() {
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_->path()));
    QFile::setPermissions(dir_->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    auto first = std::make_unique<LinuxPlatform>(prompts_);
    auto second = std::make_unique<LinuxPlatform>(prompts_);
    QVERIFY(first->claimSingleInstance());
    QVERIFY(!second->claimSingleInstance());
    first.reset();
    QVERIFY(second->claimSingleInstance());
    second.reset();

    // A lock left by an instance that ended without removing it is taken.
    QProcess ended;
    ended.start(QStringLiteral("true"));
    QVERIFY(ended.waitForStarted());
    const qint64 endedPid = ended.processId();
    QVERIFY(ended.waitForFinished());
    QFile stale(dir_->path() + QStringLiteral("/tarnwick.lock"));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray::number(endedPid) + "\ntarnwick\n" +
                QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    QVERIFY(LinuxPlatform(prompts_).claimSingleInstance());
    qunsetenv("XDG_RUNTIME_DIR");
}

void TestLinuxPlatform::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    platform_ = std::make_unique<LinuxPlatform>(prompts_);
}

void TestLinuxPlatform::startedProcessRunsThenEnds() {
    QSignalSpy ended(platform_.get(), &Platform::processEnded);
    const auto id = platform_->startProcess(QStringLiteral("/bin/sleep 0.3"), WindowMode::Normal);
    QVERIFY(id.has_value());
    QVERIFY(platform_->isProcessRunning(*id));

    QVERIFY(ended.wait(5000));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).value<Platform::ProcessId>(), *id);
    QVERIFY(!platform_->isProcessRunning(*id));
}

void TestLinuxPlatform::quickProcessStillReportsItsEnd() {
    QSignalSpy ended(platform_.get(), &Platform::processEnded);
    const auto id = platform_->startProcess(QStringLiteral("/bin/true"), WindowMode::Minimised);
    QVERIFY(id.has_value());
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).value<Platform::ProcessId>(), *id);
    QVERIFY(!platform_->isProcessRunning(*id));
}

void TestLinuxPlatform::runInWorkingFolderEnds() {
    const auto id = platform_->startRun(
        QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("pwd > here; sleep 30")},
        WindowMode::Minimised, dir_->path());
    QVERIFY(id.has_value());
    QTRY_COMPARE(readFile(path(QStringLiteral("here"))).trimmed(), QFile::encodeName(dir_->path()));
    platform_->endRun(*id);
    QTRY_VERIFY(!platform_->isProcessRunning(*id));
    QVERIFY(platform_->endedWithFailure(*id));
}

void TestLinuxPlatform::processNotStartedHereIsNotRunning() {
    QVERIFY(!platform_->isProcessRunning(QCoreApplication::applicationPid()));
    QVERIFY(!platform_->isProcessRunning(1));
}

// exitCode -1: ended by a signal.
void TestLinuxPlatform::exitCodeTellsFailure_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("exit 0") << "/bin/true" << 0;
    QTest::newRow("exit 3") << "/bin/sh -c \"exit 3\"" << 3;
    QTest::newRow("ended by a signal") << "/bin/sh -c \"kill -9 $$\"" << -1;
}

void TestLinuxPlatform::exitCodeTellsFailure() {
    QFETCH(QString, commandLine);
    QFETCH(int, exitCode);
    QSignalSpy ended(platform_.get(), &Platform::processEnded);
    const auto id = platform_->startProcess(commandLine, WindowMode::Minimised);
    QVERIFY(id.has_value());
    QVERIFY(!platform_->endedWithFailure(*id));
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(platform_->exitCode(*id), exitCode == -1 ? std::nullopt : std::optional(exitCode));
    QCOMPARE(platform_->endedWithFailure(*id), exitCode != 0);
}

void TestLinuxPlatform::startsProgramWithBlanksWithoutShell_data() {
    QTest::addColumn<bool>("quoted");
    QTest::newRow("unquoted program") << false;
    QTest::newRow("quoted program") << true;
}

// The arguments arrive one by one, and what a shell would expand stays as it is.
void TestLinuxPlatform::startsProgramWithBlanksWithoutShell() {
    QFETCH(bool, quoted);
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("my tools")));
    const QString program = path(QStringLiteral("my tools/show args"));
    writeFile(program, "#!/bin/sh\nout=\"$1\"; shift; printf '[%s]\\n' \"$@\" > \"$out\"\n");
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString output = path(QStringLiteral("out.txt"));
    const QString line = (quoted ? '"' + program + '"' : program) + ' ' + output +
                         QStringLiteral(" plain \"two  words\" * $HOME \"\" a\\b");

    QSignalSpy ended(platform_.get(), &Platform::processEnded);
    const auto id = platform_->startProcess(line, WindowMode::Maximised);
    QVERIFY(id.has_value());
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY(!platform_->isProcessRunning(*id));
    QCOMPARE(readFile(output), QByteArray("[plain]\n[two  words]\n[*]\n[$HOME]\n[]\n[a\\b]\n"));
}

// In line, {dir} stands for the test folder; file is created there without
// execute permission.
void TestLinuxPlatform::unstartableProgramGivesNothing_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("file");
    QTest::newRow("missing program") << QStringLiteral("/nonexistent/tool -q") << QString();
    QTest::newRow("empty line") << QString() << QString();
    QTest::newRow("blanks only") << QStringLiteral("  \t ") << QString();
    QTest::newRow("folder") << QStringLiteral("{dir} -q") << QString();
    QTest::newRow("file without execute permission")
        << QStringLiteral("{dir}/plain tool.sh -q") << QStringLiteral("plain tool.sh");
}

void TestLinuxPlatform::unstartableProgramGivesNothing() {
    QFETCH(QString, line);
    QFETCH(QString, file);
    if (!file.isEmpty()) {
        writeFile(path(file), "#!/bin/sh\nexit 0\n");
        QVERIFY(QFile::setPermissions(path(file), QFile::ReadOwner | QFile::WriteOwner));
    }
    line.replace(QStringLiteral("{dir}"), dir_->path());
    QSignalSpy ended(platform_.get(), &Platform::processEnded);
    QVERIFY(!platform_->startProcess(line, WindowMode::Normal).has_value());
    QCoreApplication::processEvents();
    QCOMPARE(ended.count(), 0);
}

// A program that reads its input finds it empty at once, instead of waiting
// for this program forever. Its run is known by a number of this program's,
// not by the process id, which the system hands out again.
void TestLinuxPlatform::runReadsEmptyInput() {
    const QString pid = path(QStringLiteral("pid"));
    QSignalSpy ended(platform_.get(), &Platform::processEnded);
    const auto id = platform_->startRun(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("echo $$ > \"$0\"; read x; exit 7"), pid},
        WindowMode::Minimised);
    QVERIFY(id.has_value());
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(platform_->exitCode(*id), std::optional(7));
    QVERIFY(*id != readFile(pid).trimmed().toLongLong());
}

void TestLinuxPlatform::listFilesReturnsVisibleRegularFiles() {
    const QDir folder(dir_->path());
    writeFile(path(QStringLiteral("a.ps")), "a");
    writeFile(path(QStringLiteral("b c.txt")), "b");
    writeFile(path(QStringLiteral(".hidden.ps")), "h");
    QVERIFY(folder.mkdir(QStringLiteral("sub.ps")));
    QVERIFY(QFile::link(path(QStringLiteral("a.ps")), path(QStringLiteral("link.ps"))));
    QVERIFY(QFile::link(path(QStringLiteral("sub.ps")), path(QStringLiteral("folder link"))));
    QVERIFY(QFile::link(path(QStringLiteral("gone")), path(QStringLiteral("dangling"))));

    const QStringList names = platform_->listFiles(dir_->path());

    QStringList sorted = names;
    sorted.sort();
    QCOMPARE(sorted, (QStringList{"a.ps", "b c.txt", "link.ps"}));
    // Unsorted, Qt walks the folder in the file system's order too.
    QCOMPARE(names, folder.entryList(QDir::Files, QDir::Unsorted));
}

void TestLinuxPlatform::listFilesOfMissingFolderIsEmpty() {
    QVERIFY(platform_->listFiles(path(QStringLiteral("missing"))).isEmpty());
}

void TestLinuxPlatform::fileExists() {
    writeFile(path(QStringLiteral("five")), "12345");
    QVERIFY(QFile::link(path(QStringLiteral("five")), path(QStringLiteral("link"))));

    QVERIFY(platform_->fileExists(path(QStringLiteral("five"))));
    QVERIFY(platform_->fileExists(path(QStringLiteral("link"))));
    QVERIFY(!platform_->fileExists(dir_->path()));
    QVERIFY(!platform_->fileExists(path(QStringLiteral("missing"))));
}

void TestLinuxPlatform::removeFile() {
    writeFile(path(QStringLiteral("doomed")), "x");
    QCOMPARE(platform_->removeFile(path(QStringLiteral("doomed"))), FileResult::Ok);
    QVERIFY(!QFile::exists(path(QStringLiteral("doomed"))));
    QCOMPARE(platform_->removeFile(path(QStringLiteral("doomed"))), FileResult::Failed);
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder")));
    QCOMPARE(platform_->removeFile(path(QStringLiteral("folder"))), FileResult::Failed);
    QVERIFY(QFileInfo(path(QStringLiteral("folder"))).isDir());
}

void TestLinuxPlatform::readFileHead_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<QByteArray>("head");

    QTest::newRow("shorter than the file")
        << QByteArray("%!PS-Adobe-3.0\n") << qint64(4) << QByteArray("%!PS");
    QTest::newRow("exactly the file") << QByteArray("%!PS") << qint64(4) << QByteArray("%!PS");
    QTest::newRow("longer than the file") << QByteArray("%!") << qint64(1024) << QByteArray("%!");
    QTest::newRow("nothing asked") << QByteArray("%!PS") << qint64(0) << QByteArray();
    QTest::newRow("empty file") << QByteArray() << qint64(16) << QByteArray();
    const QByteArray large(200 * 1024, 'p');
    QTest::newRow("more than one read") << large << qint64(150 * 1024) << large.left(150 * 1024);
}

void TestLinuxPlatform::readFileHead() {
    QFETCH(QByteArray, contents);
    QFETCH(qint64, maxBytes);
    QFETCH(QByteArray, head);
    writeFile(path(QStringLiteral("file")), contents);

    const auto read = platform_->readFileHead(path(QStringLiteral("file")), maxBytes);
    QVERIFY(read.has_value());
    QCOMPARE(*read, head);
}

void TestLinuxPlatform::readFileHeadOfUnreadable() {
    QVERIFY(!platform_->readFileHead(path(QStringLiteral("missing")), 16).has_value());
    QVERIFY(!platform_->readFileHead(dir_->path(), 16).has_value());
}

void TestLinuxPlatform::fileHeldByAnotherProcess_data() {
    QTest::addColumn<QString>("redirection");
    QTest::addColumn<bool>("alsoOpenHere");
    QTest::newRow("reading") << QStringLiteral("<") << false;
    QTest::newRow("writing") << QStringLiteral(">>") << false;
    QTest::newRow("reading, open here too") << QStringLiteral("<") << true;
    QTest::newRow("writing, open here too") << QStringLiteral(">>") << true;
}

void TestLinuxPlatform::fileHeldByAnotherProcess() {
    QFETCH(QString, redirection);
    QFETCH(bool, alsoOpenHere);
    const QString file = path(QStringLiteral("input.ps"));
    writeFile(file, "%!PS\n");
    QVERIFY(setModifiedAgo(file, 5000));
    QFile ours(file);
    if (alsoOpenHere) {
        QVERIFY(ours.open(QIODevice::ReadOnly));
    }
    QVERIFY(!platform_->isFileHeld(file));

    QProcess holder;
    holdOpen(holder, file, redirection);
    QTRY_VERIFY(platform_->isFileHeld(file));
    releaseHold(holder);
    QVERIFY(!platform_->isFileHeld(file));
}

// A pipe takes no lease, so the answer comes from the other processes' descriptors.
void TestLinuxPlatform::pipeHeldByAnotherProcess() {
    const QString pipe = path(QStringLiteral("pipe"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(setModifiedAgo(pipe, 5000));
    QVERIFY(!platform_->isFileHeld(pipe));

    QProcess holder;
    holdOpen(holder, pipe, QStringLiteral("<>"));
    QTRY_VERIFY(platform_->isFileHeld(pipe));
    releaseHold(holder);
    QVERIFY(!platform_->isFileHeld(pipe));
}

void TestLinuxPlatform::ownDescriptorsDoNotHold() {
    const QString file = path(QStringLiteral("ours.ps"));
    writeFile(file, "%!PS\n");
    QVERIFY(setModifiedAgo(file, 5000));
    QFile reader(file);
    QFile writer(file);
    QVERIFY(reader.open(QIODevice::ReadOnly));
    QVERIFY(writer.open(QIODevice::Append));
    QVERIFY(!platform_->isFileHeld(file));
}

void TestLinuxPlatform::freshlyWrittenFileIsHeldBriefly() {
    const QString file = path(QStringLiteral("fresh.ps"));
    writeFile(file, "%!PS\n");
    QVERIFY(platform_->isFileHeld(file));
    QVERIFY(setModifiedAgo(file, 200));
    QVERIFY(platform_->isFileHeld(file));
    QVERIFY(setModifiedAgo(file, 700));
    QVERIFY(!platform_->isFileHeld(file));
}

void TestLinuxPlatform::missingFileIsNotHeld() {
    QVERIFY(!platform_->isFileHeld(path(QStringLiteral("missing"))));
}

void TestLinuxPlatform::writeFileAtomicReplaces() {
    const QString file = path(QStringLiteral("settings.ini"));
    writeFile(file, "old and longer");
    QCOMPARE(platform_->writeFileAtomic(file, "new"), std::nullopt);
    QCOMPARE(readFile(file), QByteArray("new"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"settings.ini"});
}

// A link in the file's place is replaced, not written through; the new file
// is its owner's only.
void TestLinuxPlatform::writePrivateFileReplacesLink() {
    const QString target = path(QStringLiteral("elsewhere"));
    const QString file = path(QStringLiteral("args.txt"));
    writeFile(target, "keep");
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    QVERIFY(QFile::link(target, file));
    QVERIFY(platform_->isSameFile(file, target));

    QCOMPARE(platform_->writePrivateFile(file, "secret\r\n"), std::nullopt);
    QCOMPARE(readFile(file), QByteArray("secret\r\n"));
    QCOMPARE(readFile(target), QByteArray("keep"));
    QVERIFY(!platform_->isSameFile(file, target));
    QVERIFY(!platform_->isSameFile(file, path(QStringLiteral("missing"))));
    struct stat info {};
    QCOMPARE(lstat(QFile::encodeName(file).constData(), &info), 0);
    QVERIFY(S_ISREG(info.st_mode));
    QCOMPARE(info.st_mode & 07777, 0600u);
    QVERIFY(platform_->writePrivateFile(path(QStringLiteral("no folder/x")), "x").has_value());
}

void TestLinuxPlatform::writeFileAtomicIntoMissingFolder() {
    const auto reason =
        platform_->writeFileAtomic(path(QStringLiteral("missing/settings.ini")), "data");
    QVERIFY(reason.has_value());
    QVERIFY(!reason->isEmpty());
    QVERIFY(QDir(dir_->path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

// Only an ordinary file, or one a link leads to, is read and written. A
// folder, a pipe, a device or a link to one is neither read (a pipe without
// a writer does not hold the reader, an endless device is not read) nor
// replaced, and a link stays a link.
void TestLinuxPlatform::onlyOrdinaryFilesAreReadAndWritten_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("viaLink");  // the settings path is a link to the thing

    QTest::newRow("file") << "file" << false;
    QTest::newRow("link to a file") << "file" << true;
    QTest::newRow("link to a missing file") << "none" << true;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("link to a folder") << "folder" << true;
    QTest::newRow("named pipe") << "pipe" << false;
    QTest::newRow("link to a named pipe") << "pipe" << true;
    QTest::newRow("link to an endless device") << "device" << true;
}

void TestLinuxPlatform::onlyOrdinaryFilesAreReadAndWritten() {
    QFETCH(QString, kind);
    QFETCH(bool, viaLink);
    const QString settings = path(QStringLiteral("Tarnwick.ini"));
    const QString thing = kind == QLatin1String("device") ? QStringLiteral("/dev/zero")
                          : viaLink                       ? path(QStringLiteral("target"))
                                                          : settings;
    const bool ordinary = kind == QLatin1String("file");
    const QByteArray contents = QByteArray(150 * 1024, 'p') + "end";
    if (ordinary) {
        writeFile(thing, contents);
    } else {
        make(thing, kind);
    }
    if (viaLink) {
        QVERIFY(QFile::link(thing, settings));
    }
    const QStringList before = QDir(dir_->path()).entryList(QDir::AllEntries | QDir::Hidden);

    QByteArray read;
    int pieces = 0;
    const bool readOk = !platform_->readFileInPieces(settings, [&](QByteArrayView piece) {
        read += piece;
        ++pieces;
    });
    QCOMPARE(readOk, ordinary);
    QCOMPARE(read, ordinary ? contents : QByteArray());
    QVERIFY(!ordinary || pieces > 1);

    const std::optional<QString> failure = platform_->writeFileAtomic(settings, "new");
    QCOMPARE(failure.has_value(), !ordinary);
    // Nothing was made where nothing was, nothing became an ordinary file.
    QCOMPARE(QFileInfo::exists(thing), kind != QLatin1String("none"));
    QCOMPARE(QFileInfo(thing).isFile(), ordinary);
    QCOMPARE(QFileInfo(settings).isSymLink(), viaLink);
    if (ordinary) {
        QCOMPARE(readFile(thing), QByteArray("new"));
    } else {
        QCOMPARE(*failure, QStringLiteral("not an ordinary file"));
    }
    QCOMPARE(QDir(dir_->path()).entryList(QDir::AllEntries | QDir::Hidden), before);
}

// A new file is for its owner's eyes only, whatever the umask; an existing
// one keeps its mode and owner, also when another user saves it.
void TestLinuxPlatform::writeFileAtomicKeepsModeAndOwner_data() {
    QTest::addColumn<int>("mode");    // of the existing file; 0: none exists
    QTest::addColumn<uint>("owner");  // of the existing file
    QTest::addColumn<uint>("writer");
    QTest::addColumn<bool>("written");

    const uint me = geteuid();
    QTest::newRow("new file") << 0 << me << me << true;
    QTest::newRow("existing, group may read") << 0640 << me << me << true;
    if (me != 0) {
        return;
    }
    // The owners below can only be set up by the superuser.
    QTest::newRow("another user's file, saved by root") << 0604 << 1234u << 0u << true;
    QTest::newRow("root's file that all may write, saved by nobody")
        << 0666 << 0u << 65534u << true;
    QTest::newRow("root's file, saved by nobody") << 0644 << 0u << 65534u << false;
}

void TestLinuxPlatform::writeFileAtomicKeepsModeAndOwner() {
    QFETCH(int, mode);
    QFETCH(uint, owner);
    QFETCH(uint, writer);
    QFETCH(bool, written);
    const QString file = path(QStringLiteral("Tarnwick.ini"));
    const QByteArray name = QFile::encodeName(file);
    if (mode != 0) {
        writeFile(file, "old");
        QVERIFY(chmod(name.constData(), mode_t(mode)) == 0);
        QVERIFY(chown(name.constData(), owner, owner) == 0);
    }
    QVERIFY(chmod(QFile::encodeName(dir_->path()).constData(), 0777) == 0);
    const mode_t umaskBefore = umask(0);
    const bool switched = writer != geteuid();
    if (switched) {
        QVERIFY(setegid(writer) == 0);
        QVERIFY(seteuid(writer) == 0);
    }
    const bool saved = !platform_->writeFileAtomic(file, "new").has_value();
    if (switched) {
        QVERIFY(seteuid(0) == 0);
        QVERIFY(setegid(0) == 0);
    }
    umask(umaskBefore);

    QCOMPARE(saved, written);
    QCOMPARE(readFile(file), QByteArray(written ? "new" : "old"));
    struct stat info {};
    QVERIFY(stat(name.constData(), &info) == 0);
    QCOMPARE(int(info.st_mode & 07777), mode != 0 ? mode : 0600);
    QCOMPARE(uint(info.st_uid), owner);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Tarnwick.ini")});
}

void TestLinuxPlatform::folders() {
    QVERIFY(platform_->isFolderWritable(dir_->path()));
    QVERIFY(!platform_->isFolderWritable(path(QStringLiteral("missing"))));
    writeFile(path(QStringLiteral("file")), "x");
    QVERIFY(!platform_->isFolderWritable(path(QStringLiteral("file"))));

    QCOMPARE(platform_->programFolder(), QFileInfo(QCoreApplication::applicationFilePath()).path());

    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
    const QString config = platform_->configFolder();
    qputenv("XDG_CONFIG_HOME", previous);
    QCOMPARE(config, path(QStringLiteral("config/TarnWick")));
    QVERIFY(QFileInfo(config).isDir());
}

void TestLinuxPlatform::messageAnswers_data() {
    QTest::addColumn<Prompts::Buttons>("buttons");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<Prompts::Answer>("answer");
    QTest::newRow("ok only, ok") << Prompts::Buttons::Ok << true << Prompts::Answer::Ok;
    QTest::newRow("ok only, closed") << Prompts::Buttons::Ok << false << Prompts::Answer::Ok;
    QTest::newRow("ok and cancel, ok") << Prompts::Buttons::OkCancel << true << Prompts::Answer::Ok;
    QTest::newRow("ok and cancel, cancel")
        << Prompts::Buttons::OkCancel << false << Prompts::Answer::Cancel;
}

void TestLinuxPlatform::messageAnswers() {
    QFETCH(Prompts::Buttons, buttons);
    QFETCH(bool, accept);
    QFETCH(Prompts::Answer, answer);
    QString title;
    QString text;
    int buttonCount = 0;
    onModalDialog([&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QVERIFY(box != nullptr);
        title = box->windowTitle();
        text = box->text();
        buttonCount = int(box->buttons().size());
        // Escape is what closing the box does.
        if (accept) {
            box->button(QMessageBox::Ok)->click();
        } else {
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });

    QCOMPARE(platform_->prompts().message(QStringLiteral("Stop converting?"), buttons), answer);
    QCOMPARE(title, QStringLiteral("TarnWick"));
    QCOMPARE(text, QStringLiteral("Stop converting?"));
    QCOMPARE(buttonCount, buttons == Prompts::Buttons::OkCancel ? 2 : 1);
}

void TestLinuxPlatform::inputAnswers() {
    QString title;
    QString label;
    QString proposal;
    onModalDialog([&](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        QVERIFY(input != nullptr);
        title = input->windowTitle();
        label = input->labelText();
        proposal = input->textValue();
        input->setTextValue(QStringLiteral("Report 2"));
        input->accept();
    });
    QCOMPARE(platform_->prompts().input(QStringLiteral("Name?"), QStringLiteral("Save as"),
                                        QStringLiteral("Report")),
             std::optional<QString>(QStringLiteral("Report 2")));
    QCOMPARE(title, QStringLiteral("Save as"));
    QCOMPARE(label, QStringLiteral("Name?"));
    QCOMPARE(proposal, QStringLiteral("Report"));

    onModalDialog([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    QCOMPARE(platform_->prompts().input(QStringLiteral("Name?"), QStringLiteral("Save as"),
                                        QStringLiteral("Report")),
             std::nullopt);
}

void TestLinuxPlatform::terminationSignals_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
}

// One handler serves the process: a platform that goes away leaves it to the
// others. A burst of signals before the event loop runs neither blocks the
// handler on a full socket nor changes errno where the signal struck.
void TestLinuxPlatform::terminationSignals() {
    QFETCH(int, signal);
    auto newer = std::make_unique<LinuxPlatform>(prompts_);
    platform_.reset();
    QSignalSpy requested(newer.get(), &Platform::terminationRequested);

    bool errnoKept = true;
    for (int i = 0; i < 10000; ++i) {
        errno = EDOM;
        raise(signal);
        errnoKept = errnoKept && errno == EDOM;
    }
    QVERIFY(errnoKept);
    QVERIFY(requested.wait());
}

// A box open when the end comes from outside is closed as cancelled; after
// it no box is shown (the message goes to standard error).
void TestLinuxPlatform::noBoxWaitsAfterTermination() {
    onModalDialog([this](QWidget*) { platform_->requestTermination(); });
    QCOMPARE(platform_->prompts().message(QStringLiteral("Reset?"), Prompts::Buttons::OkCancel),
             Prompts::Answer::Cancel);

    bool boxShown = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            boxShown = true;
            box->close();
        }
    });
    QCOMPARE(platform_->prompts().message(QStringLiteral("Not saved")), Prompts::Answer::Ok);
    QCoreApplication::processEvents();
    QVERIFY(!boxShown);
}

QTEST_MAIN(TestLinuxPlatform)
#include "test_linux_platform.moc"
