#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include "support/engine_fixture.h"

class TestDistillerSwitch : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;

  private slots:
    void init() { f = std::make_unique<EngineFixture>(); }
    void cleanup() { f.reset(); }

    // The folders as the file system sees them; {root} is the test's folder,
    // holding In/, in/ and a link to In/.
    void equalFolders_data() {
        QTest::addColumn<QString>("watch");
        QTest::addColumn<QString>("moved");
        QTest::addColumn<bool>("refused");
        QTest::newRow("same text") << "{root}/In/"
                                   << "{root}/In/" << true;
        QTest::newRow("doubled separator") << "{root}/In/"
                                           << "{root}/In//" << true;
        QTest::newRow("through a link") << "{root}/In/"
                                        << "{root}/link/" << true;
        QTest::newRow("trailing separator on one side") << "{root}/In/"
                                                        << "{root}/In" << true;
        QTest::newRow("letter case differs") << "{root}/In/"
                                             << "{root}/in/" << false;
        QTest::newRow("different folders") << "{root}/In/"
                                           << "{root}/Out/" << false;
    }
    void equalFolders() {
        QFETCH(QString, watch);
        QFETCH(QString, moved);
        QFETCH(bool, refused);
        const QString root = f->root.path();
        QVERIFY(QDir(root).mkdir("In") && QDir(root).mkdir("in") && QDir(root).mkdir("Out"));
        QVERIFY(QFile::link(root + "/In", root + "/link"));
        f->config.setPath(PathKind::WatchDirpath, watch.replace("{root}", root));
        f->config.setPath(PathKind::MoveToFolder, moved.replace("{root}", root));
        QSignalSpy requested(&f->distiller, &Distiller::startRequested);
        QSignalSpy refusals(&f->distiller, &Distiller::startRefused);
        QSignalSpy switchedOn(&f->distiller, &Distiller::switchedOn);

        f->distiller.Start_Distiller();

        QCOMPARE(f->distiller.isActive(), !refused);
        QCOMPARE(requested.count(), 1);
        QCOMPARE(refusals.count(), refused ? 1 : 0);
        QCOMPARE(switchedOn.count(), refused ? 0 : 1);
        QCOMPARE(f->prompts.shown.size(), refused ? 1 : 0);
        if (refused) {
            QCOMPARE(f->prompts.shown[0].text,
                     QStringLiteral("The Watched Folder is the same as the ps move to folder, "
                                    "please change one of them"));
            QCOMPARE(f->prompts.shown[0].buttons, Prompts::Buttons::Ok);
        }
    }

    // The texts are read at the moment of use: a language chosen after the
    // distiller was made is the one it speaks.
    void refusalSpeaksTheCurrentLanguage() {
        f->config.setPath(PathKind::MoveToFolder, f->watch);
        f->texts.Select_Texts(QStringLiteral("DE"));
        TextTable german;
        german.Select_Texts(QStringLiteral("DE"));
        f->distiller.Start_Distiller();
        QCOMPARE(f->prompts.messages(), QStringList{german[TextId::Tr_MsgSameFolders]});
    }

    // The count of this switching-on starts at 0 and is shown again only
    // when a file is taken; the count of produced files goes on.
    void currentCountStartsAgainAtEachSwitchOn() {
        f->ghostscriptWritesOutput();
        writeFile(f->watch + "a.ps");
        f->switchOnAndTick();
        f->distiller.Stop_Distiller();
        f->distiller.Start_Distiller();
        QCOMPARE(f->distiller.currentCount(), 0.0);
        QCOMPARE(f->results.runCount, 1.0);
        f->results.runCount = 0;
        writeFile(f->watch + "b.ps");
        f->tickToEnd();
        QCOMPARE(f->distiller.currentCount(), 1.0);
        QCOMPARE(f->results.runCount, 1.0);
        QCOMPARE(f->config.counter(), 2.0);
    }
};

QTEST_GUILESS_MAIN(TestDistillerSwitch)
#include "test_distiller_switch.moc"
