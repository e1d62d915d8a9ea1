// The file work on real files, in temporary folders; moves between file
// systems go to /dev/shm where it is one of its own.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <ctime>

#include "common/byte_text.h"
#include "platform/linux/linux_folder_files.h"
#include "support/test_files.h"

Q_DECLARE_METATYPE(Failure::Kind)
Q_DECLARE_METATYPE(FileStatus::Type)

namespace {

using Kind = Failure::Kind;

QByteArray native(const QString& path) {
    return bytesOfText(path);
}

int modeOf(const QString& path) {
    struct stat info {};
    return stat(native(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

bool setMode(const QString& path, int mode) {
    return chmod(native(path).constData(), mode_t(mode)) == 0;
}

// Every name in the folder, hidden ones, pipes and dangling links too.
QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// Makes a thing of a kind at path: "file", "folder", "pipe", or a link to
// target ("link"); "none" makes nothing.
void make(const QString& path, const QString& kind, const QString& target = {}) {
    if (kind == QLatin1String("file")) {
        writeFile(path, "old");
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(mkdir(native(path).constData(), 0700) == 0);
    } else if (kind == QLatin1String("pipe")) {
        QVERIFY(mkfifo(native(path).constData(), 0600) == 0);
    } else if (kind == QLatin1String("link")) {
        QVERIFY(QFile::link(target, path));
    }
}

// Moves the modification time into the past, so that only open descriptors
// decide whether a file is held.
bool setModifiedAgo(const QString& path, qint64 milliseconds) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const qint64 ns = qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec - milliseconds * 1'000'000;
    const timespec times[2] = {{ns / 1'000'000'000, ns % 1'000'000'000},
                               {ns / 1'000'000'000, ns % 1'000'000'000}};
    return utimensat(AT_FDCWD, native(path).constData(), times, 0) == 0;
}

// While it lives, this program acts as another user (real and effective),
// so that permissions count when the tests run as root; as anyone else it
// changes nothing.
class AsAnotherUser {
  public:
    explicit AsAnotherUser(uid_t user = 65534) : switched_(geteuid() == 0 && user != 0) {
        if (switched_) {
            switched_ = setresgid(user, user, 0) == 0 && setresuid(user, user, 0) == 0;
        }
    }
    ~AsAnotherUser() {
        if (switched_) {
            [[maybe_unused]] const int user = setresuid(0, 0, 0);
            [[maybe_unused]] const int group = setresgid(0, 0, 0);
        }
    }
    AsAnotherUser(const AsAnotherUser&) = delete;
    AsAnotherUser& operator=(const AsAnotherUser&) = delete;

  private:
    bool switched_;
};

}  // namespace

class TestLinuxFolderFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    // On another file system than dir_, where the machine has one.
    std::unique_ptr<QTemporaryDir> other_;
    LinuxFolderFiles files_;

    QString path(const QString& name) const { return dir_->filePath(name); }
    bool haveOtherFileSystem() {
        return other_->isValid() &&
               files_.status(other_->path())->device != files_.status(dir_->path())->device;
    }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        other_ = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tarnwick-XXXXXX"));
        QVERIFY(dir_->isValid());
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("to")));
        // Another user may go through, for the tests of permissions.
        QVERIFY(setMode(dir_->path(), 0755) && setMode(path("to"), 0777));
        QVERIFY(!other_->isValid() || setMode(other_->path(), 0755));
    }

    void listEntries() {
        writeFile(path("a.ps"), "a");
        writeFile(path("b c.txt"), "b");
        writeFile(path(".hidden.ps"), "h");
        make(path("sub.ps"), "folder");
        make(path("pipe.ps"), "pipe");
        make(path("link.ps"), "link", path("a.ps"));
        make(path("folder link"), "link", path("sub.ps"));
        make(path("dangling"), "link", path("gone"));

        const Result<QList<FolderEntry>> entries = files_.listEntries(dir_->path());
        QVERIFY(entries);
        QStringList listed;
        QStringList links;
        for (const FolderEntry& entry : *entries) {
            listed << entry.name;
            if (entry.isLink) {
                links << entry.name;
            }
        }
        // In the file system's order, which QDir walks unsorted too.
        QStringList inOrder =
            QDir(dir_->path())
                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
        inOrder.removeAll(QStringLiteral("sub.ps"));
        inOrder.removeAll(QStringLiteral("pipe.ps"));
        inOrder.removeAll(QStringLiteral("to"));
        QCOMPARE(listed, inOrder);
        listed.sort();
        links.sort();
        QCOMPARE(listed, QStringList({"a.ps", "b c.txt", "dangling", "folder link", "link.ps"}));
        QCOMPARE(links, QStringList({"dangling", "folder link", "link.ps"}));

        QVERIFY(!files_.listEntries(path("missing")));
        QVERIFY(entryNames(files_, path("missing")).isEmpty());
    }

    // A name made by another program, not UTF-8, is found and moved under
    // its own bytes.
    void namesThatAreNotUtf8Survive() {
        const QByteArray name = "caf\xe9 \xff.ps";
        const QByteArray source = native(dir_->path()) + '/' + name;
        const int fd = ::open(source.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "%!PS\n", 5), ssize_t(5));
        ::close(fd);

        const QStringList names = entryNames(files_, dir_->path());
        QCOMPARE(names, QStringList{textOfBytes(name)});
        const QString listed = path(names[0]);
        QCOMPARE(files_.readHead(listed, 4).value(), QByteArray("%!PS"));
        QVERIFY(files_.move(listed, path("to/") + names[0], {}));
        QVERIFY(::access(source.constData(), F_OK) != 0);
        QCOMPARE(::access((native(path("to")) + '/' + name).constData(), F_OK), 0);
    }

    // What stands at a path: a link is itself, isFile follows it.
    void whatStandsAtAPath_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("linkTo");  // the kind a link leads to
        QTest::addColumn<bool>("found");
        QTest::addColumn<FileStatus::Type>("type");
        QTest::addColumn<bool>("isFile");
        using T = FileStatus::Type;
        QTest::newRow("file") << "file"
                              << "" << true << T::Ordinary << true;
        QTest::newRow("folder") << "folder"
                                << "" << true << T::Folder << false;
        QTest::newRow("pipe") << "pipe"
                              << "" << true << T::Other << false;
        QTest::newRow("link to a file") << "link"
                                        << "file" << true << T::Link << true;
        QTest::newRow("link to a folder") << "link"
                                          << "folder" << true << T::Link << false;
        QTest::newRow("dangling link") << "link"
                                       << "none" << true << T::Link << false;
        QTest::newRow("nothing") << "none"
                                 << "" << false << T::Ordinary << false;
    }
    void whatStandsAtAPath() {
        QFETCH(QString, kind);
        QFETCH(QString, linkTo);
        QFETCH(bool, found);
        QFETCH(FileStatus::Type, type);
        QFETCH(bool, isFile);
        make(path("target"), linkTo);
        make(path("thing"), kind, path("target"));
        const std::optional<FileStatus> status = files_.status(path("thing"));
        QCOMPARE(status.has_value(), found);
        if (found) {
            QCOMPARE(status->type, type);
        }
        QCOMPARE(files_.isFile(path("thing")), isFile);
    }

    void readHeadAndTail_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("tail");

        QTest::newRow("shorter than the file") << QByteArray("%!PS-Adobe-3.0\n%%EOF\n") << qint64(4)
                                               << QByteArray("%!PS") << QByteArray("EOF\n");
        QTest::newRow("exactly the file")
            << QByteArray("%!PS") << qint64(4) << QByteArray("%!PS") << QByteArray("%!PS");
        QTest::newRow("longer than the file")
            << QByteArray("%!") << qint64(1024) << QByteArray("%!") << QByteArray("%!");
        QTest::newRow("nothing asked")
            << QByteArray("%!PS") << qint64(0) << QByteArray() << QByteArray();
        QTest::newRow("empty file") << QByteArray() << qint64(16) << QByteArray() << QByteArray();
        const QByteArray large = QByteArray(100 * 1024, 'h') + QByteArray(100 * 1024, 't');
        QTest::newRow("more than one read")
            << large << qint64(150 * 1024) << large.left(150 * 1024) << large.right(150 * 1024);
    }
    void readHeadAndTail() {
        QFETCH(QByteArray, contents);
        QFETCH(qint64, maxBytes);
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, tail);
        writeFile(path("file"), contents);
        QCOMPARE(files_.readHead(path("file"), maxBytes).value(), head);
        QCOMPARE(files_.readTail(path("file"), maxBytes).value(), tail);
    }

    // Only an ordinary file itself is read or moved: a link is not followed,
    // a pipe without a writer does not hold the call up. What stands there
    // stays as it was.
    void onlyOrdinaryFilesAreReadOrMoved_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("linkTo");
        QTest::addColumn<Kind>("failure");
        QTest::newRow("missing") << "none"
                                 << "" << Kind::Unreadable;
        QTest::newRow("pipe") << "pipe"
                              << "" << Kind::NotOrdinary;
        QTest::newRow("folder") << "folder"
                                << "" << Kind::NotOrdinary;
        QTest::newRow("link to a file") << "link"
                                        << "file" << Kind::NotOrdinary;
        QTest::newRow("link to a pipe") << "link"
                                        << "pipe" << Kind::NotOrdinary;
    }
    void onlyOrdinaryFilesAreReadOrMoved() {
        QFETCH(QString, kind);
        QFETCH(QString, linkTo);
        QFETCH(Kind, failure);
        make(path("target"), linkTo);
        make(path("a.ps"), kind, path("target"));
        const std::optional<FileStatus> before = files_.status(path("a.ps"));

        const Result<QByteArray> head = files_.readHead(path("a.ps"), 16);
        const Result<QByteArray> tail = files_.readTail(path("a.ps"), 16);
        const Status moved = files_.move(path("a.ps"), path("to/a.ps"), {});
        QVERIFY(!head && !tail && !moved);
        QCOMPARE(head.failure().kind, failure);
        QCOMPARE(tail.failure().kind, failure);
        QCOMPARE(moved.failure().kind, failure);
        QVERIFY(namesIn(path("to")).isEmpty());
        const std::optional<FileStatus> after = files_.status(path("a.ps"));
        QCOMPARE(after.has_value(), before.has_value());
        QVERIFY(!after || after->sameVersion(*before));
        if (linkTo == QLatin1String("file")) {
            QCOMPARE(readFile(path("target")), QByteArray("old"));
        }
    }

    // The file arrives whole under its name, keeps its mode and leaves no
    // trace of the way it came.
    void moveKeepsModeAndLeavesNothing_data() {
        QTest::addColumn<bool>("acrossFileSystems");
        QTest::newRow("within one file system") << false;
        QTest::newRow("across file systems") << true;
    }
    void moveKeepsModeAndLeavesNothing() {
        QFETCH(bool, acrossFileSystems);
        if (acrossFileSystems && !haveOtherFileSystem()) {
            QSKIP("/dev/shm is not a file system of its own here");
        }
        const QString from = (acrossFileSystems ? other_->path() : dir_->path()) + "/a.ps";
        const QByteArray contents(3 * 1024 * 1024 + 5, 'x');
        writeFile(from, contents);
        QVERIFY(setMode(from, 0640));
        writeFile(path("to/a.ps"), "an older copy");
        int turns = 0;
        const Status moved = files_.move(from, path("to/a.ps"), [&turns] {
            ++turns;
            return true;
        });
        QVERIFY(moved);
        QCOMPARE(readFile(path("to/a.ps")), contents);
        QCOMPARE(modeOf(path("to/a.ps")), 0640);
        QVERIFY(!exists(from));
        QCOMPARE(namesIn(path("to")), QStringList{"a.ps"});
        // A copy gives the window a turn between its pieces.
        QCOMPARE(turns > 1, acrossFileSystems);
    }

    void stoppedCopyLeavesTheSource() {
        if (!haveOtherFileSystem()) {
            QSKIP("/dev/shm is not a file system of its own here");
        }
        const QString from = other_->filePath(QStringLiteral("a.ps"));
        writeFile(from, QByteArray(3 * 1024 * 1024, 'x'));
        const Status moved = files_.move(from, path("to/a.ps"), [] { return false; });
        QVERIFY(!moved);
        QCOMPARE(moved.failure().kind, Kind::Stopped);
        QCOMPARE(readFile(from).size(), 3 * 1024 * 1024);
        QVERIFY(namesIn(path("to")).isEmpty());
    }

    // {src} stands for the source's folder, which lies in the test folder or,
    // for {other}, on another file system; the source is {src}/a.ps. The
    // trouble: "fixed" makes {src} refuse to let files go, "unreadable" the
    // source unreadable, for another user than root.
    void moveRefused_data() {
        QTest::addColumn<bool>("across");
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("target");
        QTest::addColumn<Kind>("failure");
        QTest::newRow("onto itself, other spelling") << false << ""
                                                     << "{src}//a.ps" << Kind::SameFile;
        QTest::newRow("onto itself through a linked folder") << false << ""
                                                             << "{dir}/link/a.ps" << Kind::SameFile;
        QTest::newRow("into a missing folder") << false << ""
                                               << "{dir}/missing/a.ps" << Kind::TargetRefused;
        QTest::newRow("onto a folder") << false << ""
                                       << "{dir}/to" << Kind::TargetRefused;
        QTest::newRow("source cannot be read") << false << "unreadable"
                                               << "{dir}/to/a.ps" << Kind::Unreadable;
        QTest::newRow("source folder keeps it") << false << "fixed"
                                                << "{dir}/to/a.ps" << Kind::NotReleased;
        // Copying a file that must stay would be for nothing, and would
        // replace the older file of its name.
        QTest::newRow("source folder keeps it, across file systems")
            << true << "fixed"
            << "{dir}/to/a.ps" << Kind::NotReleased;
    }
    void moveRefused() {
        QFETCH(bool, across);
        QFETCH(QString, trouble);
        QFETCH(QString, target);
        QFETCH(Kind, failure);
        if (across && !haveOtherFileSystem()) {
            QSKIP("/dev/shm is not a file system of its own here");
        }
        const QString src = (across ? other_->path() : dir_->path()) + "/src";
        QVERIFY(QDir().mkpath(src));
        writeFile(src + "/a.ps", "kept");
        writeFile(path("to/a.ps"), "an older copy");
        QVERIFY(QFile::link(src, path("link")));
        QVERIFY(setMode(src, trouble == QLatin1String("fixed") ? 0555 : 0777));
        QVERIFY(setMode(src + "/a.ps", trouble == QLatin1String("unreadable") ? 0200 : 0644));
        target.replace("{src}", src).replace("{dir}", dir_->path());

        Status moved;
        {
            AsAnotherUser another;
            moved = files_.move(src + "/a.ps", target, {});
        }
        QVERIFY(setMode(src, 0755) && setMode(src + "/a.ps", 0644));
        QVERIFY(!moved);
        QCOMPARE(moved.failure().kind, failure);
        QCOMPARE(readFile(src + "/a.ps"), QByteArray("kept"));
        QCOMPARE(namesIn(path("to")), QStringList{"a.ps"});
        QCOMPARE(readFile(path("to/a.ps")), QByteArray("an older copy"));
    }

    // A copy follows a link to an ordinary file, keeps the mode, replaces
    // what is there and appears whole; onto itself it changes nothing.
    void copy_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("copied");
        QTest::newRow("file") << "a.ps"
                              << "to/a.ps" << true;
        QTest::newRow("link to a file") << "link.ps"
                                        << "to/a.ps" << true;
        QTest::newRow("onto itself") << "a.ps"
                                     << "a.ps" << true;
        QTest::newRow("pipe") << "pipe.ps"
                              << "to/a.ps" << false;
    }
    void copy() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, copied);
        writeFile(path("a.ps"), "contents");
        QVERIFY(setMode(path("a.ps"), 0604));
        make(path("link.ps"), "link", path("a.ps"));
        make(path("pipe.ps"), "pipe");
        writeFile(path("to/a.ps"), "an older copy");
        const int olderMode = modeOf(path("to/a.ps"));

        const Status done = files_.copy(path(source), path(target));
        QCOMPARE(done.ok(), copied);
        QVERIFY(copied || done.failure().kind == Kind::NotOrdinary);
        QCOMPARE(readFile(path("a.ps")), QByteArray("contents"));
        QCOMPARE(readFile(path(target)), QByteArray(copied ? "contents" : "an older copy"));
        QCOMPARE(modeOf(path(target)), copied ? 0604 : olderMode);
        QCOMPARE(namesIn(path("to")), QStringList{"a.ps"});
    }

    void removeTakesOnlyFiles() {
        writeFile(path("doomed"), "x");
        QVERIFY(files_.remove(path("doomed")));
        QVERIFY(!exists(path("doomed")));
        QVERIFY(!files_.remove(path("doomed")));
        QVERIFY(!files_.remove(path("to")));
        QVERIFY(QFileInfo(path("to")).isDir());
    }

    // A new empty ordinary file, no more readable than any of its models
    // (-1: a model that is not there), readable and writable by its owner;
    // an old ordinary file in its place goes, anything else stays.
    void createOutput_data() {
        QTest::addColumn<QList<int>>("models");
        QTest::addColumn<QString>("inPlace");
        QTest::addColumn<int>("mode");  // -1: refused
        QTest::newRow("private model") << QList<int>{0600} << "none" << 0600;
        QTest::newRow("model readable by all") << QList<int>{0644} << "none" << 0644;
        QTest::newRow("model the owner may only read") << QList<int>{0400} << "none" << 0600;
        QTest::newRow("the most private of two models") << QList<int>{0644, 0640} << "none" << 0640;
        QTest::newRow("two models, each private in its own way")
            << QList<int>{0604, 0640} << "none" << 0600;
        QTest::newRow("no model") << QList<int>{} << "none" << 0600;
        QTest::newRow("a model that is not there") << QList<int>{0644, -1} << "none" << 0600;
        QTest::newRow("old file in its place") << QList<int>{0640} << "file" << 0640;
        QTest::newRow("folder in its place") << QList<int>{0644} << "folder" << -1;
        QTest::newRow("link in its place") << QList<int>{0644} << "link" << -1;
        QTest::newRow("pipe in its place") << QList<int>{0644} << "pipe" << -1;
    }
    void createOutput() {
        QFETCH(QList<int>, models);
        QFETCH(QString, inPlace);
        QFETCH(int, mode);
        QStringList modelPaths;
        for (const int modelMode : std::as_const(models)) {
            const QString model = path(QStringLiteral("model %1").arg(modelPaths.size()));
            if (modelMode >= 0) {
                writeFile(model, "m");
                QVERIFY(setMode(model, modelMode));
            }
            modelPaths << model;
        }
        writeFile(path("elsewhere"), "untouched");
        make(path("out"), inPlace, path("elsewhere"));
        const std::optional<FileStatus> before = files_.status(path("out"));

        const Status created = files_.createOutput(path("out"), modelPaths);
        QCOMPARE(created.ok(), mode >= 0);
        if (mode >= 0) {
            QCOMPARE(files_.status(path("out"))->type, FileStatus::Type::Ordinary);
            QCOMPARE(modeOf(path("out")), mode);
            QCOMPARE(readFile(path("out")), QByteArray());
        } else {
            QCOMPARE(created.failure().kind, Kind::NotOrdinary);
            QVERIFY(files_.status(path("out"))->sameVersion(*before));
        }
        QCOMPARE(readFile(path("elsewhere")), QByteArray("untouched"));
    }

    void writeAtomicReplacesWholeOrNothing() {
        const QString file = path("settings.ini");
        writeFile(file, "old and longer");
        QVERIFY(files_.writeAtomic(file, "new"));
        QCOMPARE(readFile(file), QByteArray("new"));

        const Status intoMissing = files_.writeAtomic(path("missing/settings.ini"), "data");
        QVERIFY(!intoMissing);
        QVERIFY(!intoMissing.failure().text.isEmpty());
        QCOMPARE(namesIn(dir_->path()), QStringList({"settings.ini", "to"}));
    }

    // Only an ordinary file, or one a link leads to, is read and written. A
    // folder, a pipe, a device or a link to one is neither read (a pipe without
    // a writer does not hold the reader, an endless device is not read) nor
    // replaced, and a link stays a link.
    void onlyOrdinaryFilesAreReadInPiecesAndWritten_data() {
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
    void onlyOrdinaryFilesAreReadInPiecesAndWritten() {
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
        } else if (kind != QLatin1String("device")) {
            make(thing, kind);
        }
        if (viaLink) {
            QVERIFY(QFile::link(thing, settings));
        }
        const QStringList before = namesIn(dir_->path());

        QByteArray read;
        int pieces = 0;
        const Status readStatus = files_.readInPieces(settings, [&](QByteArrayView piece) {
            read += piece;
            ++pieces;
        });
        QCOMPARE(readStatus.ok(), ordinary);
        QCOMPARE(read, ordinary ? contents : QByteArray());
        QVERIFY(!ordinary || pieces > 1);

        const Status written = files_.writeAtomic(settings, "new");
        QCOMPARE(written.ok(), ordinary);
        // Nothing was made where nothing was, nothing became an ordinary file.
        QCOMPARE(QFileInfo::exists(thing), kind != QLatin1String("none"));
        QCOMPARE(QFileInfo(thing).isFile(), ordinary);
        QCOMPARE(QFileInfo(settings).isSymLink(), viaLink);
        if (ordinary) {
            QCOMPARE(readFile(thing), QByteArray("new"));
        } else {
            QCOMPARE(written.failure().kind, Kind::NotOrdinary);
        }
        QCOMPARE(namesIn(dir_->path()), before);
    }

    // A new file is for its owner's eyes only, whatever the umask; an existing
    // one keeps its mode and owner, also when another user saves it.
    void writeAtomicKeepsModeAndOwner_data() {
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
    void writeAtomicKeepsModeAndOwner() {
        QFETCH(int, mode);
        QFETCH(uint, owner);
        QFETCH(uint, writer);
        QFETCH(bool, written);
        const QString file = path(QStringLiteral("Tarnwick.ini"));
        if (mode != 0) {
            writeFile(file, "old");
            QVERIFY(setMode(file, mode));
            QVERIFY(chown(native(file).constData(), owner, owner) == 0);
        }
        QVERIFY(setMode(dir_->path(), 0777));
        const mode_t umaskBefore = umask(0);
        bool saved = false;
        {
            AsAnotherUser another(writer);
            saved = files_.writeAtomic(file, "new").ok();
        }
        umask(umaskBefore);

        QCOMPARE(saved, written);
        QCOMPARE(readFile(file), QByteArray(written ? "new" : "old"));
        struct stat info {};
        QVERIFY(stat(native(file).constData(), &info) == 0);
        QCOMPARE(int(info.st_mode & 07777), mode != 0 ? mode : 0600);
        QCOMPARE(uint(info.st_uid), owner);
        QCOMPARE(namesIn(dir_->path()), QStringList({"Tarnwick.ini", "to"}));
    }

    // A link in the file's place is replaced, not written through; the new
    // file is its owner's only.
    void writePrivateReplacesALink() {
        const QString target = path(QStringLiteral("elsewhere"));
        const QString file = path(QStringLiteral("args.txt"));
        writeFile(target, "keep");
        QVERIFY(setMode(target, 0604));
        QVERIFY(QFile::link(target, file));
        QVERIFY(files_.isSameFile(file, target));

        QVERIFY(files_.writePrivate(file, "secret\r\n"));
        QCOMPARE(readFile(file), QByteArray("secret\r\n"));
        QCOMPARE(readFile(target), QByteArray("keep"));
        QVERIFY(!files_.isSameFile(file, target));
        QVERIFY(!files_.isSameFile(file, path(QStringLiteral("missing"))));
        QCOMPARE(files_.status(file)->type, FileStatus::Type::Ordinary);
        QCOMPARE(modeOf(file), 0600);
        QVERIFY(!files_.writePrivate(path(QStringLiteral("no folder/x")), "x"));
    }

    // Held while another process has the file open or wrote it less than
    // half a second ago (open by others: the first alone); this program's own
    // descriptors do not hold it.
    void isHeld_data() {
        QTest::addColumn<QString>("kind");         // file, pipe or none
        QTest::addColumn<int>("msAgo");            // since it was written
        QTest::addColumn<QString>("redirection");  // of another process holding it
        QTest::addColumn<bool>("openHere");
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("openByOthers");
        QTest::newRow("free") << "file" << 5000 << "" << false << false << false;
        QTest::newRow("open here only") << "file" << 5000 << "" << true << false << false;
        QTest::newRow("read by another") << "file" << 5000 << "<" << false << true << true;
        QTest::newRow("written by another") << "file" << 5000 << ">>" << false << true << true;
        QTest::newRow("read by another, open here too")
            << "file" << 5000 << "<" << true << true << true;
        QTest::newRow("written by another, open here too")
            << "file" << 5000 << ">>" << true << true << true;
        // A pipe takes no lease: the other processes' descriptors tell.
        QTest::newRow("pipe held by another") << "pipe" << 5000 << "<>" << false << true << true;
        QTest::newRow("written just now") << "file" << 0 << "" << false << true << false;
        QTest::newRow("written 200 ms ago") << "file" << 200 << "" << false << true << false;
        QTest::newRow("written 700 ms ago") << "file" << 700 << "" << false << false << false;
        QTest::newRow("missing") << "none" << 0 << "" << false << false << false;
    }
    void isHeld() {
        QFETCH(QString, kind);
        QFETCH(int, msAgo);
        QFETCH(QString, redirection);
        QFETCH(bool, openHere);
        QFETCH(bool, held);
        QFETCH(bool, openByOthers);
        const QString file = path(QStringLiteral("input.ps"));
        make(file, kind);
        QVERIFY(kind == QLatin1String("none") || msAgo == 0 || setModifiedAgo(file, msAgo));
        QFile reader(file);
        QFile writer(file);
        if (openHere) {
            QVERIFY(reader.open(QIODevice::ReadOnly) && writer.open(QIODevice::Append));
        }
        QProcess holder;
        if (!redirection.isEmpty()) {
            // Opens the file on descriptor 3 and keeps it open until its
            // input is closed; it says when it holds it.
            holder.start(
                QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("exec 3%1\"$0\"; echo holding; read x").arg(redirection), file});
            QVERIFY(holder.waitForReadyRead());
        }
        QCOMPARE(files_.isHeld(file), held);
        QCOMPARE(files_.isOpenByOthers(file), openByOthers);
        if (!redirection.isEmpty()) {
            holder.closeWriteChannel();
            QVERIFY(holder.waitForFinished());
            QVERIFY(!files_.isHeld(file));
        }
    }

    void folders() {
        QVERIFY(files_.checkFolder(dir_->path()));
        QVERIFY(!files_.checkFolder(path("missing")));
        writeFile(path("file"), "x");
        QVERIFY(!files_.checkFolder(path("file")));

        QVERIFY(files_.makeFolder(path("new/deeper/")));
        QCOMPARE(modeOf(path("new")), 0700);
        QCOMPARE(modeOf(path("new/deeper")), 0700);
        QVERIFY(files_.makeFolder(path("new/deeper")));
        QVERIFY(!files_.makeFolder(path("file/below")));
    }

    // The lock holds against every other holder, another open file of the
    // same program too, until it is released or its holder goes.
    void claim() {
        const QString lock = path("watch.lock");
        auto first = std::make_unique<LinuxFolderFiles>();
        LinuxFolderFiles second;
        QVERIFY(first->claim(lock));
        QVERIFY(first->claim(lock));
        const Status refused = second.claim(lock);
        QVERIFY(!refused);
        QCOMPARE(refused.failure().kind, Kind::Held);
        first->release(lock);
        QVERIFY(second.claim(lock));
        QVERIFY(!first->claim(lock));
        second.release(lock);
        QVERIFY(first->claim(lock));
        first.reset();
        QVERIFY(second.claim(lock));
        second.release(lock);
    }
};

QTEST_GUILESS_MAIN(TestLinuxFolderFiles)
#include "test_linux_folder_files.moc"
