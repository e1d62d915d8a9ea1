#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "app/project_address.h"
#include "common/pdf_results.h"
#include "distill/distiller.h"
#include "settings/configuration.h"
#include "shell/window_animations.h"
#include "support/app_fixture.h"
#include "support/scripted_picker.h"
#include "widgets/twips.h"

namespace {

// How the entry under the mouse is made.
enum class Entry { Existing, Missing, Failed };
// What the reader label names.
enum class Reader { File, FileInBlanks, Nothing, Blanks, Folder };

}  // namespace

Q_DECLARE_METATYPE(Entry)
Q_DECLARE_METATYPE(Reader)

class TestMainCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> f;

    QListWidget* list() const { return f->control<QListWidget>("lstConverted"); }
    QStringList messages() const { return f->prompts.messages(); }
    // A click on a list entry, where a person would click.
    void clickEntry(int row, Qt::MouseButton button) {
        const QRect rect = list()->visualItemRect(list()->item(row));
        QTest::mouseClick(list()->viewport(), button, {}, rect.center());
    }
    // A click in the list below the last entry.
    void clickBesideEntries(Qt::MouseButton button) {
        const QWidget* viewport = list()->viewport();
        QTest::mouseClick(list()->viewport(), button, {},
                          QPoint(viewport->width() / 2, viewport->height() - 3));
    }
    // The reader: any existing file will do, the stand-in starts nothing.
    QString readerFile() const { return writeFile(f->root.path() + "/reader", "#!/bin/sh\n"); }
    QString readerCaption(Reader reader) const {
        switch (reader) {
            case Reader::File:
                return readerFile();
            case Reader::FileInBlanks:
                return "  " + readerFile() + "   ";
            case Reader::Nothing:
                return QString();
            case Reader::Blanks:
                return QStringLiteral("   ");
            case Reader::Folder:
                return f->output;
        }
        return QString();
    }
    void selectQuality(int index) {
        auto* quality = f->control<QComboBox>("cmbQuality");
        QTest::keyClick(quality, Qt::Key_Home);
        for (int i = 0; i < index; ++i) {
            QTest::keyClick(quality, Qt::Key_Down);
        }
        QCOMPARE(quality->currentIndex(), index);
    }
    // The arguments of the Ghostscript run.
    QStringList convertOneFile() {
        f->ghostscriptWritesOutput();
        writeFile(f->watch + "a.ps");
        f->app->distiller().Start_Distiller();
        f->tickToEnd();
        return f->processes.started.isEmpty() ? QStringList()
                                              : f->processes.started.last().request.arguments;
    }

  private slots:
    void init() {
        f = std::make_unique<AppFixture>();
        QVERIFY(f->showWindow());
    }
    void cleanup() { f.reset(); }

    void openEntry_data() {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<Reader>("reader");
        QTest::addColumn<bool>("startFails");
        QTest::addColumn<Qt::MouseButton>("button");
        // The reader started with the entry; "" for none. %r stands for the
        // reader label's caption, %e for the entry.
        QTest::addColumn<QString>("command");
        // The one message shown; "" for none. One ending in ": " is matched
        // as the beginning, since the reader path follows.
        QTest::addColumn<QString>("message");

        const QString opened = QStringLiteral("\"%r\" \"%e\"");
        QTest::newRow("left click opens the PDF")
            << Entry::Existing << Reader::File << false << Qt::LeftButton << opened << QString();
        QTest::newRow("middle click opens the PDF")
            << Entry::Existing << Reader::File << false << Qt::MiddleButton << opened << QString();
        // Blanks are trimmed for the look-up only; the command keeps them.
        QTest::newRow("reader path in blanks") << Entry::Existing << Reader::FileInBlanks << false
                                               << Qt::LeftButton << opened << QString();
        QTest::newRow("PDF gone") << Entry::Missing << Reader::File << false << Qt::LeftButton
                                  << QString()
                                  << "%e is probably moved elsewhere or deleted by you";
        QTest::newRow("PDF gone, no reader either")
            << Entry::Missing << Reader::Nothing << false << Qt::LeftButton << QString()
            << "%e is probably moved elsewhere or deleted by you";
        // No reader chosen: the desktop's viewer opens the PDF.
        QTest::newRow("no reader") << Entry::Existing << Reader::Nothing << false << Qt::LeftButton
                                   << QString() << QString();
        QTest::newRow("reader path only blanks") << Entry::Existing << Reader::Blanks << false
                                                 << Qt::LeftButton << QString() << QString();
        QTest::newRow("reader path names a folder")
            << Entry::Existing << Reader::Folder << false << Qt::LeftButton << QString()
            << "The Path to Adobe Reader is not set yet";
        QTest::newRow("reader cannot be started")
            << Entry::Existing << Reader::File << true << Qt::LeftButton << QString()
            << "The PDF reader could not be started: ";
        // A failed conversion has no PDF, whatever its entry names.
        QTest::newRow("failed conversion")
            << Entry::Failed << Reader::File << false << Qt::LeftButton << QString() << QString();
    }
    void openEntry() {
        QFETCH(Entry, entry);
        QFETCH(Reader, reader);
        QFETCH(bool, startFails);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QString, command);
        QFETCH(QString, message);

        const QString pdf = f->output + "a b.pdf";
        if (entry != Entry::Missing) {
            writeFile(pdf, "%PDF-1.4\n");
        }
        f->window().results().addConverted(f->output + "other.pdf");
        if (entry == Entry::Failed) {
            // The entry names an existing file, so only the mark stops it.
            f->window().results().addFailed(f->moved + "a.ps", "Ghostscript made no PDF");
            list()->item(1)->setText(pdf);
        } else {
            f->window().results().addConverted(pdf);
        }
        const QString caption = readerCaption(reader);
        f->setCaption("lblAcroPath", caption);
        f->processes.failStart = startFails;

        clickEntry(1, button);

        const bool desktopViewer =
            entry == Entry::Existing && (reader == Reader::Nothing || reader == Reader::Blanks);
        QCOMPARE(f->desktop.openedFiles, desktopViewer ? QStringList{pdf} : QStringList());
        command.replace("%r", caption).replace("%e", pdf);
        message.replace("%e", pdf);
        if (command.isEmpty()) {
            QVERIFY(f->processes.programs.isEmpty());
        } else {
            QCOMPARE(f->processes.programs.size(), 1);
            QCOMPARE(f->processes.programs[0].commandLine, command);
            QCOMPARE(f->processes.programs[0].mode, WindowMode::Maximised);
        }
        if (message.isEmpty()) {
            QCOMPARE(messages(), QStringList());
        } else {
            QCOMPARE(messages().size(), 1);
            if (message.endsWith(": ")) {
                QVERIFY2(messages()[0].startsWith(message), qPrintable(messages()[0]));
            } else {
                QCOMPARE(messages()[0], message);
            }
            QCOMPARE(f->prompts.shown[0].buttons, Prompts::Buttons::Ok);
        }
        QCOMPARE(f->desktop.openedFolders, QStringList());
        // A reader that does not start is reported, the program goes on.
        QCOMPARE(f->life.endCount, 0);
    }

    void rightClickOpensOutputFolder_data() {
        QTest::addColumn<int>("entries");
        QTest::newRow("on an entry") << 2;
        QTest::newRow("empty list") << 0;
    }
    void rightClickOpensOutputFolder() {
        QFETCH(int, entries);
        f->setCaption("lblAcroPath", readerFile());
        for (int i = 0; i < entries; ++i) {
            f->window().results().addConverted(writeFile(f->output + QString::number(i) + ".pdf"));
        }
        if (entries > 0) {
            clickEntry(0, Qt::RightButton);
        } else {
            clickBesideEntries(Qt::RightButton);
        }
        QCOMPARE(f->desktop.openedFolders, QStringList{f->output});
        QVERIFY(f->processes.programs.isEmpty());
        QCOMPARE(messages(), QStringList());
    }

    // With nothing selected a click opens nothing, wherever it lands.
    void nothingSelectedOpensNothing_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("clickEntryFirst");
        QTest::newRow("empty list") << 0 << false;
        QTest::newRow("no entry current") << 2 << false;
        // The list clears its selection at a click beside the entries, but
        // keeps the last entry current: the person sees nothing selected.
        QTest::newRow("selection cleared by a click beside the entries") << 2 << true;
    }
    void nothingSelectedOpensNothing() {
        QFETCH(int, entries);
        QFETCH(bool, clickEntryFirst);
        f->setCaption("lblAcroPath", readerFile());
        for (int i = 0; i < entries; ++i) {
            f->window().results().addConverted(writeFile(f->output + QString::number(i) + ".pdf"));
        }
        if (clickEntryFirst) {
            clickEntry(0, Qt::LeftButton);
            QCOMPARE(f->processes.programs.size(), 1);
            f->processes.programs.clear();
        } else {
            list()->setCurrentRow(-1);
        }
        clickBesideEntries(Qt::LeftButton);
        QVERIFY(list()->selectedItems().isEmpty());
        QVERIFY2(f->processes.programs.isEmpty(),
                 qPrintable(f->processes.programs.value(0).commandLine));
        QCOMPARE(messages(), QStringList());
        QCOMPARE(f->desktop.openedFolders, QStringList());
    }

    void emptyEntryOpensNothing() {
        f->setCaption("lblAcroPath", readerFile());
        f->window().results().addConverted(QString());
        clickEntry(0, Qt::LeftButton);
        QVERIFY(f->processes.programs.isEmpty());
        QCOMPARE(messages(), QStringList());
    }

    void folderLabelOpensFolder_data() {
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QString>("caption");
        QTest::newRow("watched folder") << QByteArray("lblWatchDir") << "/data/watch me/";
        QTest::newRow("output folder") << QByteArray("lblOutputPath") << "/data/pdf/";
        QTest::newRow("move-to folder") << QByteArray("lblMoveFolder") << "/data/ps done/";
        QTest::newRow("merge folder") << QByteArray("lblComposeFolder") << "/data/merge/";
    }
    void folderLabelOpensFolder() {
        QFETCH(QByteArray, label);
        QFETCH(QString, caption);
        // The other labels name other folders, so a mixed-up label shows.
        f->setCaption(label.constData(), caption);
        QTest::mouseClick(f->control<QLabel>(label.constData()), Qt::LeftButton);
        QCOMPARE(f->desktop.openedFolders, QStringList{caption});
        QCOMPARE(f->desktop.openedAddresses, QStringList());
    }

    // The web-site label shows a short caption and opens the documentation:
    // the README beside the program (its address carries every character),
    // or, for a program copied elsewhere on its own, the built-in copy, which
    // is written only at the click, never at start.
    void websiteLabelOpensDocumentation_data() {
        QTest::addColumn<QString>("folderName");
        QTest::addColumn<bool>("readmeBeside");
        QTest::newRow("plain folder") << "bin" << true;
        QTest::newRow("blank, hash and percent") << "my #1 100% bin" << true;
        QTest::newRow("program on its own") << "bin" << false;
    }
    void websiteLabelOpensDocumentation() {
        QFETCH(QString, folderName);
        QFETCH(bool, readmeBeside);
        const QString programFolder = f->root.path() + "/" + folderName;
        QVERIFY(QDir().mkpath(programFolder));
        if (readmeBeside) {
            writeFile(programFolder + "/README.md", "# TarnWick\n");
        }
        const QString ownCopy = f->life.configFolderPath + "/README.md";
        f->life.programFolderPath = programFolder;
        ScriptedPicker picker(f->config(), 1, QStringLiteral("/bin/sh"));
        f->app->start(interpretCommandLine(QString()), picker);
        f->app->timer().stop();
        QVERIFY(!exists(ownCopy));

        auto* website = f->control<QLabel>("lblWebsite");
        QCOMPARE(website->text(), QStringLiteral("README.md"));
        QTest::mouseClick(website, Qt::LeftButton);
        QCOMPARE(f->desktop.openedAddresses.size(), 1);
        const QUrl address(f->desktop.openedAddresses.first());
        QVERIFY(address.isLocalFile());
        QCOMPARE(address.toLocalFile(), readmeBeside ? programFolder + "/README.md" : ownCopy);
        QVERIFY(readFile(address.toLocalFile()).startsWith("# TarnWick"));
    }

    void counterLabel_data() {
        QTest::addColumn<Prompts::Answer>("answer");
        QTest::newRow("OK resets") << Prompts::Answer::Ok;
        QTest::newRow("Cancel keeps") << Prompts::Answer::Cancel;
    }
    void counterLabel() {
        QFETCH(Prompts::Answer, answer);
        FrmMain& window = f->window();
        f->app->animations().recordFullSize();
        f->config().setCounter(1234);
        const QSize fullSize = window.size();
        f->prompts.answers = {answer};

        QTest::mouseClick(f->control<QLabel>("lblTeller"), Qt::LeftButton);

        QCOMPARE(messages(), QStringList{"Do you want to reset the counter to 0?"});
        QCOMPARE(f->prompts.shown[0].buttons, Prompts::Buttons::OkCancel);
        const std::optional<Settings> saved = f->savedSettings();
        if (answer == Prompts::Answer::Cancel) {
            QCOMPARE(f->caption("lblTeller"), QStringLiteral("1234"));
            QCOMPARE(f->config().counter(), 1234.0);
            QVERIFY(!saved);
            QCOMPARE(window.size(), fullSize);
        } else {
            QCOMPARE(f->caption("lblTeller"), QStringLiteral("0"));
            QCOMPARE(f->config().counter(), 0.0);
            QVERIFY(saved);
            QCOMPARE(saved->counter, 0.0);
            QVERIFY2(pixelsToTwips(window.height()) < 600,
                     qPrintable(QString::number(window.height())));
        }
    }

    void qualityPresetReachesCommandLine_data() {
        QTest::addColumn<QList<int>>("selections");
        QTest::addColumn<QString>("preset");
        QTest::newRow("Default (all)") << QList<int>{0} << "";
        QTest::newRow("Screen") << QList<int>{1} << "-dPDFSETTINGS=/screen";
        QTest::newRow("Printer") << QList<int>{2} << "-dPDFSETTINGS=/printer";
        QTest::newRow("E-book") << QList<int>{3} << "-dPDFSETTINGS=/ebook";
        QTest::newRow("Default after Printer") << QList<int>{2, 0} << "";
    }
    void qualityPresetReachesCommandLine() {
        QFETCH(QList<int>, selections);
        QFETCH(QString, preset);
        auto* quality = f->control<QComboBox>("cmbQuality");
        for (int index : selections) {
            selectQuality(index);
        }
        QCOMPARE(quality->currentText(), QString(kQualityTexts[selections.last()]));
        const QStringList arguments = convertOneFile();
        QVERIFY(!arguments.isEmpty());
        const QStringList presets = arguments.filter("-dPDFSETTINGS");
        QCOMPARE(presets, preset.isEmpty() ? QStringList() : QStringList{preset});
    }

    void encryptionReminder_data() {
        QTest::addColumn<bool>("tickedBefore");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message");  // "" for none

        const QString none = QStringLiteral(
            "Warning: No OWNER and USER password is set, until you set one of them activating "
            "Encryption is useless!");
        const QString noOwner = QStringLiteral("Reminder: No OWNER password for Encryption is set");
        const QString noUser = QStringLiteral("Reminder: No USER password for Encryption is set");
        QTest::newRow("ticked, no passwords")
            << false << Qt::LeftButton << QString() << QString() << none;
        QTest::newRow("ticked, user only")
            << false << Qt::LeftButton << QString() << "u" << noOwner;
        QTest::newRow("ticked, owner only")
            << false << Qt::LeftButton << "o" << QString() << noUser;
        QTest::newRow("ticked, both") << false << Qt::LeftButton << "o"
                                      << "u" << QString();
        QTest::newRow("unticked, no passwords")
            << true << Qt::LeftButton << QString() << QString() << QString();
        // A right click does not tick the box, but it is released over a
        // ticked box all the same.
        QTest::newRow("right click on ticked box")
            << true << Qt::RightButton << QString() << QString() << none;
        QTest::newRow("right click on unticked box")
            << false << Qt::RightButton << QString() << QString() << QString();
        // A blank is a password.
        QTest::newRow("ticked, blank passwords") << false << Qt::LeftButton << " "
                                                 << " " << QString();
    }
    void encryptionReminder() {
        QFETCH(bool, tickedBefore);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QString, owner);
        QFETCH(QString, user);
        QFETCH(QString, message);
        auto* box = f->control<QCheckBox>("chkUseEncryption");
        box->setChecked(tickedBefore);
        f->control<QLineEdit>("txtOwnerPassword")->setText(owner);
        f->control<QLineEdit>("txtUserPassword")->setText(user);

        QTest::mouseClick(box, button);

        const bool tickedAfter = button == Qt::LeftButton ? !tickedBefore : tickedBefore;
        QCOMPARE(box->isChecked(), tickedAfter);
        QCOMPARE(messages(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty()) {
            QCOMPARE(f->prompts.shown[0].buttons, Prompts::Buttons::Ok);
        }
    }

    void encryptionTickedByKeyboardRemindsNothing() {
        auto* box = f->control<QCheckBox>("chkUseEncryption");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        QVERIFY(box->isChecked());
        QCOMPARE(messages(), QStringList());
    }

    void showPasswords_data() {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("user");
        QTest::newRow("both") << "secret"
                              << "open sesame";
        QTest::newRow("none") << ""
                              << "";
        QTest::newRow("user only") << ""
                                   << "u";
    }
    void showPasswords() {
        QFETCH(QString, owner);
        QFETCH(QString, user);
        f->control<QLineEdit>("txtOwnerPassword")->setText(owner);
        f->control<QLineEdit>("txtUserPassword")->setText(user);
        QTest::mouseClick(f->control<QPushButton>("cmdShowPassWords"), Qt::LeftButton);
        QCOMPARE(messages(),
                 QStringList{"Owner Password: " + owner + "\r\n User Password: " + user});
        QCOMPARE(f->prompts.shown[0].buttons, Prompts::Buttons::Ok);
    }

  private:
    static constexpr const char* kQualityTexts[] = {"Default (all)", "Screen  (GS7+)",
                                                    "Printer (GS7+)", "E-book  (GS8+)"};
};

QTEST_MAIN(TestMainCommands)
#include "test_main_commands.moc"
