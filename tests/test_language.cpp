#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>

#include "shell/frm_compose.h"
#include "shell/frm_settings.h"
#include "shell/path_prompts.h"
#include "shell/tray_icon.h"
#include "support/main_window_fixture.h"

// A language picked in the language list reaches the three windows and the
// tray tip at once, and picking another one moves them all again.
class TestLanguage : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;

    void pick(int entry) {
        auto* list = f->control<QComboBox>("cmbLanguage");
        list->setCurrentIndex(entry);
        emit list->activated(entry);
    }

  private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        f->window->tray().Add_Tray_Icon();
        f->window->pathPrompts().picker();  // loaded, as after a path button
    }
    void cleanup() { f.reset(); }

    void everyWindowFollowsTheList() {
        for (const auto& [entry, code] : {std::pair{5, "FI"}, std::pair{0, "GB"}}) {
            pick(entry);
            TextTable texts;
            texts.Select_Texts(QLatin1String(code));
            QCOMPARE(f->window->languageCode(), QLatin1String(code));
            QCOMPARE(f->caption("lblStatus"), texts[TextId::Tr_StatusInactive]);
            QCOMPARE(f->control<QPushButton>("cmdExit")->text(), texts[TextId::Tr_ExitButton]);
            QCOMPARE(f->window->frmCompose().windowTitle(),
                     "TarnWick 3.9" + texts[TextId::Tr_MergeModeSuffix]);
            FrmSettings* picker = f->window->pathPrompts().loadedPicker();
            QCOMPARE(picker->findChild<QPushButton*>("cmdCancel")->text(),
                     texts[TextId::Tr_CancelButton]);
            QCOMPARE(f->window->tray().icon()->toolTip(), texts[TextId::Tr_TrayTip]);
            QVERIFY(f->window->tray().icon()->isVisible());
        }
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
