#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux_files.h"

namespace {

void writeFile(const QString& path, const QByteArray& data, int mode = 0644) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(data), data.size());
    file.close();
    QCOMPARE(chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

int modeOf(const QString& path) {
    struct stat info {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// Every name in the folder, hidden ones too.
QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

class TestLinuxFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    // On another file system than dir_, where the machine has one.
    std::unique_ptr<QTemporaryDir> other_;

    QString path(const QString& name) const { return dir_->filePath(name); }
    bool haveOtherFileSystem() const {
        return other_->isValid() &&
               statusOf(other_->path())->device != statusOf(dir_->path())->device;
    }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        other_ = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tarnwick-XXXXXX"));
        QVERIFY(dir_->isValid());
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("to")));
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
        writeFile(from, contents, 0640);
        writeFile(path("to/a.ps"), "an older copy");
        int turns = 0;
        const auto error = moveIntoPlace(from, path("to/a.ps"), [&turns] {
            ++turns;
            return true;
        });
        QVERIFY(!error.has_value());
        QCOMPARE(readFile(path("to/a.ps")), contents);
        QCOMPARE(modeOf(path("to/a.ps")), 0640);
        QVERIFY(!QFile::exists(from));
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
        const auto error = moveIntoPlace(from, path("to/a.ps"), [] { return false; });
        QVERIFY(error.has_value());
        QCOMPARE(error->step, MoveError::Step::Stopped);
        QCOMPARE(readFile(from).size(), 3 * 1024 * 1024);
        QVERIFY(namesIn(path("to")).isEmpty());
    }

    // {dir} stands for the test folder; the source is {dir}/a.ps.
    void moveRefused_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("step");
        QTest::newRow("onto itself, other spelling")
            << "{dir}//a.ps" << int(MoveError::Step::SameFile);
        QTest::newRow("onto itself through a linked folder")
            << "{dir}/link/a.ps" << int(MoveError::Step::SameFile);
        QTest::newRow("into a missing folder")
            << "{dir}/missing/a.ps" << int(MoveError::Step::WriteTarget);
        QTest::newRow("onto a folder") << "{dir}/to" << int(MoveError::Step::WriteTarget);
    }
    void moveRefused() {
        QFETCH(QString, target);
        QFETCH(int, step);
        writeFile(path("a.ps"), "kept");
        QVERIFY(QFile::link(dir_->path(), path("link")));
        const auto error = moveIntoPlace(path("a.ps"), target.replace("{dir}", dir_->path()), {});
        QVERIFY(error.has_value());
        QCOMPARE(int(error->step), step);
        QCOMPARE(readFile(path("a.ps")), QByteArray("kept"));
    }

    // A pipe that took a file's name is refused at once, not waited on.
    void sourceThatIsNoFile() {
        QCOMPARE(mkfifo(QFile::encodeName(path("pipe.ps")).constData(), 0644), 0);
        const auto missing = moveIntoPlace(path("gone.ps"), path("to/gone.ps"), {});
        const auto pipe = moveIntoPlace(path("pipe.ps"), path("to/pipe.ps"), {});
        QVERIFY(missing && pipe);
        QCOMPARE(missing->step, MoveError::Step::ReadSource);
        QCOMPARE(pipe->step, MoveError::Step::ReadSource);
        QVERIFY(namesIn(path("to")).isEmpty());
    }

    // modelMode -1: no model file.
    void outputFileIsNoMoreReadableThanItsModel_data() {
        QTest::addColumn<int>("modelMode");
        QTest::addColumn<int>("mode");
        QTest::newRow("private model") << 0600 << 0600;
        QTest::newRow("model readable by all") << 0644 << (0644 & ~currentUmask());
        QTest::newRow("model the owner may only read") << 0400 << 0600;
        QTest::newRow("no model") << -1 << 0600;
    }
    void outputFileIsNoMoreReadableThanItsModel() {
        QFETCH(int, modelMode);
        QFETCH(int, mode);
        if (modelMode >= 0) {
            writeFile(path("model"), "m", modelMode);
        }
        // A link left at the place is replaced, not written through.
        writeFile(path("elsewhere"), "untouched");
        QVERIFY(QFile::link(path("elsewhere"), path("out")));
        QCOMPARE(createOutputFile(path("out"), path("model")), std::nullopt);
        QCOMPARE(modeOf(path("out")), mode);
        QCOMPARE(QFileInfo(path("out")).isSymLink(), false);
        QCOMPARE(readFile(path("elsewhere")), QByteArray("untouched"));
    }

  private:
    static int currentUmask() {
        const mode_t mask = umask(0);
        umask(mask);
        return int(mask);
    }
};

QTEST_APPLESS_MAIN(TestLinuxFiles)
#include "test_linux_files.moc"
