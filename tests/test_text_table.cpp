#include <QTest>

#include "i18n/text_table.h"

class TestTextTable : public QObject {
    Q_OBJECT
  private slots:
    void everyLanguageHasEveryText() {
        const auto& languages = TextTable::languages();
        QCOMPARE(languages.size(), 6);
        for (const QString& code : TextTable::selectionOrder()) {
            QVERIFY2(languages.contains(code), qPrintable(code));
            const QStringList& texts = languages[code];
            QCOMPARE(texts.size(), static_cast<int>(TextId::Count));
            for (int i = 0; i < texts.size(); ++i) {
                QVERIFY2(!texts[i].isEmpty(),
                         qPrintable(code + QLatin1Char(' ') + textIdName(static_cast<TextId>(i))));
            }
        }
    }

    void quotedRows_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        auto row = [](const char* name, const char* code, TextId id, const char* text) {
            QTest::newRow(name) << code << static_cast<int>(id) << QString::fromUtf8(text);
        };
        row("GB inactive", "GB", TextId::Tr_StatusInactive, "Distiller is not active");
        row("GB idle", "GB", TextId::Tr_StatusIdle,
            "Distiller is active, nothing to distill at this moment.....");
        row("GB converting", "GB", TextId::Tr_StatusConverting, "Converting ");
        row("GB same folders", "GB", TextId::Tr_MsgSameFolders,
            "The Watched Folder is the same as the ps move to folder, please change one of them");
        row("GB user prefix", "GB", TextId::Tr_UserPasswordPrefix, " User Password: ");
        row("GB tray", "GB", TextId::Tr_TrayTip, "Click for TarnWick to appear");
        row("GB carrier tip", "GB", TextId::lblTr_FC_msg004_tip, "Merged file name");
        row("DE start", "DE", TextId::Tr_StartButton, "Distill starten");
        row("DE merge", "DE", TextId::Tr_MergeModeSuffix, " Zusammenfügmodus");
        row("DE ok", "DE", TextId::Tr_OkButton, "OK");
        row("DE reset", "DE", TextId::Tr_MsgResetCounter, "Zähler wirklich auf Null setzen?");
        row("FR start", "FR", TextId::Tr_StartButton, "Distiller");
        row("FR merge", "FR", TextId::Tr_MergeModeSuffix, " Merge mode");
        row("FR inactive", "FR", TextId::Tr_StatusInactive, "Le Distilleur n'est pas actif");
        row("FR tray", "FR", TextId::Tr_TrayTip, "Cliquez pour faire apparaître TarnWick");
        row("IT stop", "IT", TextId::Tr_StopButton, "Termina");
        row("IT merge", "IT", TextId::Tr_MergeModeSuffix, " - Concatenazione Files PS/PDF");
        row("IT folder tip", "IT", TextId::Tr_OpenFolderTip, "Clicca per Aprire la Cartella");
        row("IT waiting", "IT", TextId::lblTr_FC_msg005,
            "In Attesa di Fine Esecuzione di GostScript...");
        row("NL owner label", "NL", TextId::Tr_OwnerPasswordLabel, "Wijzigen wachtwoord");
        row("NL watch button", "NL", TextId::Tr_WatchDirButton, "PS IN map");
        row("NL owner prefix", "NL", TextId::Tr_OwnerPasswordPrefix, " Eigenaar wachtwoord: ");
        row("NL user prefix", "NL", TextId::Tr_UserPasswordPrefix, "Gebruiker wachtwoord: ");
        row("FI start", "FI", TextId::Tr_StartButton, "Distill");
        row("FI stop", "FI", TextId::Tr_StopButton, "Pysäytä");
        row("FI folder tip", "FI", TextId::Tr_OpenFolderTip, "Click to open Folder");
        row("FI tray", "FI", TextId::Tr_TrayTip, "Klikkaa TarnWick esille");
        row("FI inactive", "FI", TextId::Tr_StatusInactive, "Distiller ei ole aktiivinen");
    }
    void quotedRows() {
        QFETCH(QString, code);
        QFETCH(int, id);
        QFETCH(QString, text);
        TextTable table;
        QVERIFY(table.Select_Texts(code));
        QCOMPARE(table[static_cast<TextId>(id)], text);
    }

    // Texts joined to a file name or path keep their joining blank everywhere.
    void joiningBlanks() {
        for (const QString& code : TextTable::selectionOrder()) {
            TextTable table;
            table.Select_Texts(code);
            QVERIFY2(table[TextId::Tr_StatusConverting].endsWith(QLatin1Char(' ')),
                     qPrintable(code));
            QVERIFY2(table[TextId::Tr_MsgFileGone].startsWith(QLatin1Char(' ')), qPrintable(code));
            QVERIFY2(table[TextId::Tr_TrayTip].size() < 63, qPrintable(code));
        }
    }

    void unknownCodeChangesNothing() {
        TextTable table;
        QVERIFY(!table.Select_Texts(QStringLiteral("gb")));
        QVERIFY(table[TextId::Tr_StatusInactive].isEmpty());
        table.Select_Texts(QStringLiteral("FI"));
        QVERIFY(!table.Select_Texts(QStringLiteral("XX")));
        QCOMPARE(table[TextId::Tr_StatusInactive], QStringLiteral("Distiller ei ole aktiivinen"));
    }
};

QTEST_APPLESS_MAIN(TestTextTable)
#include "test_text_table.moc"
