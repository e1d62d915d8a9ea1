// The message and input boxes as a person meets them, and the session's
// boxes once the program is being ended from outside.
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/session_prompts.h"
#include "widgets/qt_prompts.h"

Q_DECLARE_METATYPE(Prompts::Buttons)
Q_DECLARE_METATYPE(Prompts::Answer)

namespace {

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

}  // namespace

class TestQtPrompts : public QObject {
    Q_OBJECT

  private slots:
    void messageAnswers_data() {
        QTest::addColumn<Prompts::Buttons>("buttons");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<Prompts::Answer>("answer");
        QTest::newRow("ok only, ok") << Prompts::Buttons::Ok << true << Prompts::Answer::Ok;
        QTest::newRow("ok only, closed") << Prompts::Buttons::Ok << false << Prompts::Answer::Ok;
        QTest::newRow("ok and cancel, ok")
            << Prompts::Buttons::OkCancel << true << Prompts::Answer::Ok;
        QTest::newRow("ok and cancel, cancel")
            << Prompts::Buttons::OkCancel << false << Prompts::Answer::Cancel;
    }
    void messageAnswers() {
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
        QtPrompts prompts;
        QCOMPARE(prompts.message(QStringLiteral("Stop converting?"), buttons), answer);
        QCOMPARE(title, QStringLiteral("TarnWick"));
        QCOMPARE(text, QStringLiteral("Stop converting?"));
        QCOMPARE(buttonCount, buttons == Prompts::Buttons::OkCancel ? 2 : 1);
    }

    void inputAnswers() {
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
        QtPrompts prompts;
        QCOMPARE(prompts.input(QStringLiteral("Name?"), QStringLiteral("Save as"),
                               QStringLiteral("Report")),
                 std::optional<QString>(QStringLiteral("Report 2")));
        QCOMPARE(title, QStringLiteral("Save as"));
        QCOMPARE(label, QStringLiteral("Name?"));
        QCOMPARE(proposal, QStringLiteral("Report"));

        onModalDialog([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
        QCOMPARE(prompts.input(QStringLiteral("Name?"), QStringLiteral("Save as"),
                               QStringLiteral("Report")),
                 std::nullopt);
    }

    // A box open when the end comes from outside is closed as cancelled;
    // after it no box is shown (a message goes to standard error) and no
    // question is taken as agreed.
    void noBoxWaitsOnceUnattended() {
        QtPrompts boxes;
        SessionPrompts prompts(boxes);
        onModalDialog([&prompts](QWidget*) { prompts.becomeUnattended(); });
        QCOMPARE(prompts.message(QStringLiteral("Reset?"), Prompts::Buttons::OkCancel),
                 Prompts::Answer::Cancel);
        QVERIFY(prompts.isUnattended());

        bool boxShown = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                boxShown = true;
                box->close();
            }
        });
        QCOMPARE(prompts.message(QStringLiteral("Not saved")), Prompts::Answer::Ok);
        QCOMPARE(prompts.message(QStringLiteral("Reset?"), Prompts::Buttons::OkCancel),
                 Prompts::Answer::Cancel);
        QCOMPARE(prompts.input(QStringLiteral("Name?"), QStringLiteral("Save as"),
                               QStringLiteral("Report")),
                 std::nullopt);
        QCoreApplication::processEvents();
        QVERIFY(!boxShown);
    }
};

QTEST_MAIN(TestQtPrompts)
#include "test_qt_prompts.moc"
