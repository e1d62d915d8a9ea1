#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/settings_keeper.h"
#include "shell/frm_compose.h"
#include "shell/frm_settings.h"
#include "shell/path_prompts.h"
#include "shell/tray_icon.h"
#include "support/app_fixture.h"

// A language picked in the language list reaches the three windows and the
// tray tip at once, and picking another one moves them all again.
class TestLanguage : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> f;

    void pick(int entry) {
        auto* list = f->control<QComboBox>("cmbLanguage");
        list->setCurrentIndex(entry);
        emit list->activated(entry);
    }

  private slots:
    void init() {
        f = std::make_unique<AppFixture>();
        f->app->tray().Add_Tray_Icon();
        f->app->pathPrompts().picker();  // loaded, as after a path button
    }
    void cleanup() { f.reset(); }

    void everyWindowFollowsTheList() {
        for (const auto& [entry, code] : {std::pair{5, "FI"}, std::pair{0, "GB"}}) {
            pick(entry);
            TextTable texts;
            texts.Select_Texts(QLatin1String(code));
            QCOMPARE(f->app->settings().language(), QLatin1String(code));
            QCOMPARE(f->caption("lblStatus"), texts[TextId::Tr_StatusInactive]);
            QCOMPARE(f->control<QPushButton>("cmdExit")->text(), texts[TextId::Tr_ExitButton]);
            QCOMPARE(f->app->frmCompose().windowTitle(),
                     "TarnWick 3.9" + texts[TextId::Tr_MergeModeSuffix]);
            FrmSettings* picker = f->app->pathPrompts().loadedPicker();
            QCOMPARE(picker->findChild<QPushButton*>("cmdCancel")->text(),
                     texts[TextId::Tr_CancelButton]);
            QCOMPARE(f->app->tray().tip(), texts[TextId::Tr_TrayTip]);
            QVERIFY(f->app->tray().isShown());
        }
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
