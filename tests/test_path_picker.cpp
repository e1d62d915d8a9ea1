#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "distill/distiller.h"
#include "settings/configuration.h"
#include "settings/path_checks.h"
#include "shell/frm_settings.h"
#include "shell/path_prompts.h"
#include "support/app_fixture.h"
#include "support/scripted_picker.h"

namespace {

// What the person does in the open picker before pressing OK or Cancel.
enum class Action { HighlightSub, OpenSub, ChooseVolume, ChooseRoot };

}  // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(PathKind)

class TestPathPicker : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> f;
    QString vol;  // a volume of its own, holding a/sub, b and three files in a

    FrmSettings* picker() const { return f->app->pathPrompts().loadedPicker(); }
    template <typename T>
    T* pickerControl(const char* name) const {
        return picker()->findChild<T*>(QLatin1String(name));
    }
    // "%v" stands for the volume's mount point.
    QString inVol(QString text) const { return text.replace(QStringLiteral("%v"), vol); }
    static const char* buttonOf(PathKind kind) {
        static const QHash<PathKind, const char*> buttons{
            {PathKind::GSPath, "cmdGSPath"},         {PathKind::AcroPath, "cmdAcroPath"},
            {PathKind::WatchDirpath, "cmdWatchDir"}, {PathKind::MoveToFolder, "cmdPSMove"},
            {PathKind::Outputpath, "cmdOutput"},     {PathKind::ComposeFolder, "cmdComposeFolder"}};
        return buttons.value(kind);
    }
    void press(const char* button) {
        QWidget* widget = f->control<QPushButton>(button);
        if (widget == nullptr) {
            widget = pickerControl<QPushButton>(button);
        }
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    // Opens the picker for a kind with a stored value.
    void openPicker(PathKind kind, const QString& stored) {
        f->config().setPath(kind, stored);
        press(buttonOf(kind));
        QVERIFY(picker() != nullptr && picker()->isVisible());
    }
    static QStringList rows(const QListWidget* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) {
            texts << list->item(i)->text().trimmed();
        }
        return texts;
    }
    QPoint rowCentre(const char* listName, const QString& text) const {
        const auto* list = pickerControl<QListWidget>(listName);
        const int row = rows(list).indexOf(text);
        return row < 0 ? QPoint(-1, -1) : list->visualItemRect(list->item(row)).center();
    }
    void clickRow(const char* listName, const QString& text) {
        QTest::mouseClick(pickerControl<QListWidget>(listName)->viewport(), Qt::LeftButton, {},
                          rowCentre(listName, text));
    }
    // A widget's double click is its first click and then the second.
    void doubleClickRow(const char* listName, const QString& text) {
        clickRow(listName, text);
        QTest::mouseDClick(pickerControl<QListWidget>(listName)->viewport(), Qt::LeftButton, {},
                           rowCentre(listName, text));
    }
    void chooseVolume(const QString& volume) {
        auto* volumes = pickerControl<QComboBox>("drvList");
        volumes->setCurrentIndex(volumes->findText(volume));
    }

  private slots:
    void init() {
        f = std::make_unique<AppFixture>();
        vol = f->root.path() + QStringLiteral("/vol");
        for (const char* folder : {"/a/sub", "/b"}) {
            QDir().mkpath(vol + folder);
        }
        for (const char* file : {"/a/gs", "/a/evince", "/a/notes.txt"}) {
            writeFile(vol + file);
        }
        f->volumes.volumeList = {QStringLiteral("/"), vol};
        QVERIFY(f->showWindow());
    }
    void cleanup() { f.reset(); }

    void okStoresTheOpenedFolder_data() {
        QTest::addColumn<PathKind>("kind");
        QTest::addColumn<QString>("before");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("stored");
        QTest::newRow("highlighted, not opened")
            << PathKind::Outputpath << "%v/a/" << Action::HighlightSub << "%v/a/";
        QTest::newRow("opened subfolder")
            << PathKind::ComposeFolder << "%v/a/" << Action::OpenSub << "%v/a/sub/";
        QTest::newRow("volume root")
            << PathKind::WatchDirpath << "/tmp/" << Action::ChooseVolume << "%v/";
        QTest::newRow("system root")
            << PathKind::MoveToFolder << "%v/a/" << Action::ChooseRoot << "/";
    }
    void okStoresTheOpenedFolder() {
        QFETCH(PathKind, kind);
        QFETCH(QString, before);
        QFETCH(Action, action);
        QFETCH(QString, stored);
        openPicker(kind, inVol(before));
        QCOMPARE(picker()->folder() + "/", inVol(before));
        switch (action) {
            case Action::HighlightSub:
                clickRow("dirList", "sub");
                break;
            case Action::OpenSub:
                doubleClickRow("dirList", "sub");
                break;
            case Action::ChooseVolume:
                chooseVolume(vol);
                break;
            case Action::ChooseRoot:
                chooseVolume("/");
                break;
        }
        press("cmdOk");
        QCOMPARE(f->config().path(kind), inVol(stored));
        QVERIFY(!picker()->isVisible());
    }

    void fileKindsStoreAtTheClick_data() {
        QTest::addColumn<PathKind>("kind");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<bool>("okBeforeClick");
        QTest::addColumn<QString>("stored");
        QTest::newRow("Ghostscript") << PathKind::GSPath << "%v/a/old"
                                     << "Set Path to Ghostscript executable (gswin32.exe)"
                                     << QStringList{"gs"} << false << "%v/a/gs";
        QTest::newRow("reader") << PathKind::AcroPath << "%v/a/old"
                                << "Folder with Acrord32.exe or PDFReader.exe in it"
                                << QStringList{"evince"} << true << "%v/a/evince";
        QTest::newRow("a folder kind stores nothing at a click")
            << PathKind::WatchDirpath << "%v/a/"
            << "Folder containing ps, plt, eps or prn files"
            << QStringList{"evince", "gs", "notes.txt"} << true << "%v/a/";
    }
    void fileKindsStoreAtTheClick() {
        QFETCH(PathKind, kind);
        QFETCH(QString, before);
        QFETCH(QString, title);
        QFETCH(QStringList, offered);
        QFETCH(bool, okBeforeClick);
        QFETCH(QString, stored);
        openPicker(kind, inVol(before));
        QCOMPARE(picker()->windowTitle(), title);
        QCOMPARE(rows(pickerControl<QListWidget>("fileList")), offered);
        QCOMPARE(pickerControl<QPushButton>("cmdOk")->isVisible(), okBeforeClick);
        QCOMPARE(pickerControl<QLabel>("lblgreen")->isVisible(), !okBeforeClick);

        clickRow("fileList", offered.first());
        QCOMPARE(f->config().path(kind), inVol(stored));
        QVERIFY(pickerControl<QPushButton>("cmdOk")->isVisible());
        press("cmdCancel");
        QVERIFY(!picker()->isVisible());
        QCOMPARE(f->config().path(kind), inVol(stored));
    }

    void helpTextOfTheKind_data() {
        QTest::addColumn<PathKind>("kind");
        QTest::addColumn<QString>("help");
        QTest::newRow("MoveToFolder") << PathKind::MoveToFolder
                                      << "The folder where Tarnwick will move converted "
                                         "postscriptfiles to, choose ANY path you like";
        QTest::newRow("AcroPath") << PathKind::AcroPath
                                  << "The folder where the Adobe Reader executable, AcroRd32.exe, "
                                     "is hiding. Most likely C:\\Program Files\\Adobe\\Acrobat "
                                     "X.X\\Reader\\";
    }
    void helpTextOfTheKind() {
        QFETCH(PathKind, kind);
        QFETCH(QString, help);
        openPicker(kind, inVol("%v/a/"));
        press("cmdHelp");
        QCOMPARE(f->prompts.messages(), QStringList{help});
        QVERIFY(picker()->isVisible());
    }

    void unreadablePlacesAreSkipped_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("volume");  // chosen in the volume list; "" for none
        QTest::newRow("stored folder vanished") << "%v/b/"
                                                << "";
        QTest::newRow("stored folder unreadable") << "%v/a/sub/"
                                                  << "";
        QTest::newRow("stored value no path") << "c:\\"
                                              << "";
        QTest::newRow("volume gone") << "%v/a/"
                                     << "%v/unplugged";
    }
    void unreadablePlacesAreSkipped() {
        QFETCH(QString, stored);
        QFETCH(QString, volume);
        f->volumes.volumeList << inVol("%v/unplugged");
        f->volumes.unreadable << inVol("%v/a/sub");
        openPicker(PathKind::Outputpath, inVol("%v/a/"));
        press("cmdCancel");
        QVERIFY(QDir(vol + "/b").removeRecursively());

        openPicker(PathKind::Outputpath, inVol(stored));
        if (!volume.isEmpty()) {
            chooseVolume(inVol(volume));
        }
        QCOMPARE(picker()->folder(), inVol("%v/a"));
        QCOMPARE(pickerControl<QComboBox>("drvList")->currentText(), vol);
        QCOMPARE(rows(pickerControl<QListWidget>("dirList")), QStringList({vol, "a", "sub"}));
        QVERIFY(f->prompts.shown.isEmpty());
    }

    void buttonsDoNothingWhileTheDistillerIsOn() {
        f->app->distiller().Start_Distiller();
        press("cmdWatchDir");
        QVERIFY(picker() == nullptr);
        f->app->distiller().Stop_Distiller();
        press("cmdWatchDir");
        QVERIFY(picker() != nullptr && picker()->isVisible());
    }

    // A second button prepares the open picker anew, and its files follow
    // the new kind even where its folder cannot be selected (a stored value
    // without a folder). Closed through the window system the picker is
    // unloaded; the next button loads and places it again: its top at the
    // main window's, centred on it.
    void openPickerIsPreparedAgainAndReloadedAfterClosing() {
        openPicker(PathKind::GSPath, inVol("%v/a/gs"));
        const FrmSettings* first = picker();
        openPicker(PathKind::AcroPath, QStringLiteral("evince"));
        QCOMPARE(picker(), first);
        QCOMPARE(picker()->windowTitle(),
                 QStringLiteral("Folder with Acrord32.exe or PDFReader.exe in it"));
        QVERIFY(pickerControl<QPushButton>("cmdOk")->isVisible());
        QVERIFY(!pickerControl<QLabel>("lblgreen")->isVisible());
        QCOMPARE(picker()->folder(), inVol("%v/a"));
        QCOMPARE(rows(pickerControl<QListWidget>("fileList")), QStringList{"evince"});

        picker()->close();
        QTRY_VERIFY(picker() == nullptr);
        f->window().move(200, 150);
        openPicker(PathKind::WatchDirpath, inVol("%v/a/"));
        const QWidget& main = f->window();
        QCOMPARE(picker()->pos(),
                 QPoint(main.x() + main.width() / 2 - picker()->width() / 2, main.y()));
        QCOMPARE(picker()->windowTitle(),
                 QStringLiteral("Folder containing ps, plt, eps or prn files"));
    }

    void checkPaths_data() {
        QTest::addColumn<int>("chooseAt");
        QTest::addColumn<QList<Prompts::Answer>>("answers");  // to the retry question
        QTest::addColumn<int>("showings");
        QTest::addColumn<bool>("set");
        QTest::newRow("chosen at once") << 1 << QList<Prompts::Answer>{} << 1 << true;
        QTest::newRow("chosen after a retry")
            << 2 << QList<Prompts::Answer>{Prompts::Answer::Ok} << 2 << true;
        QTest::newRow("Cancel ends the program")
            << 0 << QList<Prompts::Answer>{Prompts::Answer::Cancel} << 1 << false;
    }
    void checkPaths() {
        QFETCH(int, chooseAt);
        QFETCH(QList<Prompts::Answer>, answers);
        QFETCH(int, showings);
        QFETCH(bool, set);
        f->config().setPath(PathKind::GSPath, QString());
        f->config().setCounter(42);
        f->prompts.answers = QList<Prompts::Answer>{Prompts::Answer::Ok} + answers;
        ScriptedPicker scripted(f->config(), chooseAt);

        QCOMPARE(Check_Paths(f->config(), f->app->texts(), f->prompts, f->life, scripted), set);
        QStringList expectedCalls{"ask GSPath", "select /"};
        for (int i = 0; i < showings; ++i) {
            expectedCalls << "show";
        }
        QCOMPARE(scripted.calls, expectedCalls);
        const QList<FakePrompts::Shown>& shown = f->prompts.shown;
        QCOMPARE(shown.size(), 1 + answers.size());
        QCOMPARE(shown.first().text,
                 QStringLiteral("This is probably the first time use TarnWick, first point to "
                                "your Ghostscript executable (gswin32.exe)\r\n\r\nThe most "
                                "probable Path for Ghostscript is: "
                                "c:\\gs\\gsX.XX\\bin\\gswin32.exe"));
        QCOMPARE(shown.first().buttons, Prompts::Buttons::Ok);
        for (const FakePrompts::Shown& retry : shown.mid(1)) {
            QCOMPARE(retry.text, QStringLiteral("The Ghostscript executable (gswin32.exe) is not "
                                                "set yet, retry?"));
            QCOMPARE(retry.buttons, Prompts::Buttons::OkCancel);
        }
        QCOMPARE(f->config().path(PathKind::WatchDirpath), QStringLiteral("/"));
        QCOMPARE(f->config().counter(), 0.0);
        QCOMPARE(f->config().counterCaption(), QStringLiteral("42"));
        QCOMPARE(f->life.endCount, set ? 0 : 1);
        QVERIFY(!QFile::exists(f->settingsPath()));
    }

    // The start-up check waits for the real picker, shown modally, in which
    // the person opens a folder, clicks Ghostscript and presses OK.
    void checkPathsWithThePickerWindow() {
        f->config().setPath(PathKind::GSPath, QString());
        // A retry question, should it come, is answered with Cancel.
        f->prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Cancel};
        QTimer::singleShot(0, this, [this] {
            QVERIFY(QTest::qWaitForWindowExposed(picker()));
            QVERIFY(picker()->isModal() && picker()->isVisible());
            QCOMPARE(picker()->folder(), QStringLiteral("/"));
            QVERIFY(!pickerControl<QPushButton>("cmdOk")->isVisible());
            chooseVolume(vol);
            doubleClickRow("dirList", "a");
            clickRow("fileList", "gs");
            press("cmdOk");
        });
        QVERIFY(
            Check_Paths(f->config(), f->app->texts(), f->prompts, f->life, f->app->pathPrompts()));
        QCOMPARE(f->config().path(PathKind::GSPath), inVol("%v/a/gs"));
        QCOMPARE(f->prompts.shown.size(), 1);
        QVERIFY(!picker()->isVisible());
    }
};

QTEST_MAIN(TestPathPicker)
#include "test_path_picker.moc"
