#include "log/DateTimeText.h"
#include "scheduler/Commands.h"
#include "support/ModalAnswer.h"
#include "support/StoredSettings.h"
#include "support/TestFiles.h"
#include "support/TestWindow.h"
#include "support/WindowControls.h"
#include "ui/Prompts.h"
#include "ui/SchedulerWindow.h"
#include "ui/StatusLamp.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QtTest>

namespace {

const QString kCloseQuestion = QStringLiteral("برنامه زمانبندي Zor بايد درحال اجرا باشد، در صورت ادامه ممکن است "
                                              "انتقال اطلاعات دچار مشکل شود!\nآيا ادامه ميدهيد؟");

// What the operator can see of the two state pairs and the pane.
struct Snapshot
{
    bool running;
    int lamp;
    bool frameEnabled;
    bool lockEnabled;
    bool unlockEnabled;
    QString pane;

    explicit Snapshot(const SchedulerWindow& form)
        : running(timer(form)->isEnabled()), lamp(::lamp(form)->backColor()), frameEnabled(frame(form)->isEnabled()),
          lockEnabled(button(form, "cmdLock")->isEnabled()), unlockEnabled(button(form, "cmdUnlock")->isEnabled()),
          pane(::pane(form)->text())
    {
    }
    bool operator==(const Snapshot& other) const
    {
        return running == other.running && lamp == other.lamp && frameEnabled == other.frameEnabled &&
               lockEnabled == other.lockEnabled && unlockEnabled == other.unlockEnabled && pane == other.pane;
    }
};

enum class Reply
{
    Yes,
    No,
    Cancel,
    Escape,
    CloseBox,
    Enter
};

// Answers a message box as the operator would: a button, a key, or the box's close button.
void reply(QWidget* dialog, Reply how)
{
    auto* box = qobject_cast<QMessageBox*>(dialog);
    switch (how) {
    case Reply::Yes:
        QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        break;
    case Reply::No:
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        break;
    case Reply::Cancel:
        QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
        break;
    case Reply::Escape:
        QTest::keyClick(box, Qt::Key_Escape);
        break;
    case Reply::CloseBox:
        box->close();
        break;
    case Reply::Enter:
        QTest::keyClick(box, Qt::Key_Return);
        break;
    }
}

struct BoxLook
{
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool yesIsDefault = false;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    Qt::Alignment alignment;
};

BoxLook lookOf(QWidget* dialog)
{
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (!box)
        return {};
    const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    return {box->text(),
            box->windowTitle(),
            box->standardButtons(),
            box->icon(),
            box->defaultButton() == box->button(QMessageBox::Yes),
            box->layoutDirection(),
            label ? QStyle::visualAlignment(box->layoutDirection(), label->alignment()) : Qt::Alignment()};
}

} // namespace

Q_DECLARE_METATYPE(Reply)

class LifecycleTest : public QObject
{
    Q_OBJECT

private:
    // A window started up as the program does it, and shown.
    struct Scheduler : TestWindow
    {
        Scheduler() { startUp(); }
        SchedulerWindow& form = window();

        // Running, with ticks every few milliseconds of a clock that runs with real time, and a job due on
        // every tick, so each tick shows as a pane line.
        void startFastTicks()
        {
            platform.clock->run();
            box(form, "chkTransferData")->setValue(CheckBoxValue::Checked);
            combo(form, "cmbMIn")->setListIndex(0); // "1": every minute
            form.cmdStart_Click();
            timer(form)->setInterval(20);
        }
    };

private slots:
    // An answer that a failed case left unused must not answer the next case's question.
    void init() { clearNextAnswers(); }

    void startUp_data()
    {
        QTest::addColumn<QString>("autoStart");
        QTest::addColumn<bool>("running");

        QTest::newRow("nothing stored: stopped") << QString() << false;
        QTest::newRow("auto start unticked: stopped") << QStringLiteral("0") << false;
        QTest::newRow("auto start ticked: running") << QStringLiteral("1") << true;
        QTest::newRow("auto start greyed: stopped, only exactly ticked starts") << QStringLiteral("2") << false;
    }

    void startUp()
    {
        QFETCH(QString, autoStart);
        QFETCH(bool, running);
        TestWindow scheduler;
        if (!autoStart.isEmpty())
            QVERIFY(StoredSettings::store(QStringLiteral("zorScheduler"), {{QStringLiteral("AutoStart"), autoStart}}));
        scheduler.startUp();
        const SchedulerWindow& form = scheduler.window();

        QVERIFY(!frame(form)->isEnabled());
        QVERIFY(!button(form, "cmdLock")->isEnabled());
        QVERIFY(button(form, "cmdUnlock")->isEnabled());
        QCOMPARE(timer(form)->interval(), 60000);
        QCOMPARE(timer(form)->isEnabled(), running);
        QCOMPARE(timer(form)->isActive(), running);
        QCOMPARE(lamp(form)->backColor(), running ? int(LampColor::Green) : int(LampColor::Red));
        QCOMPARE(pane(form)->text(), running ? scheduler.line(QStringLiteral(": Timer Started!\r\n")) : QString());
        QCOMPARE(form.windowTitle(), QStringLiteral("Zor Scheduler   Version 1.0.5"));
    }

    void startAndStopRepeatInAnyState()
    {
        Scheduler scheduler;
        SchedulerWindow& form = scheduler.form;
        QStringList expected;
        const auto press = [&](QPushButton* button, const char* message) {
            scheduler.platform.clock->advanceMinutes(1);
            QTest::mouseClick(button, Qt::LeftButton);
            expected.prepend(scheduler.line(QLatin1String(message)));
        };

        // Start and Stop sit in the locked frame: while locked, pressing them does nothing.
        QTest::mouseClick(button(form, "cmdStart"), Qt::LeftButton);
        QVERIFY(!timer(form)->isEnabled());
        QVERIFY(pane(form)->isEmpty());

        button(form, "cmdUnlock")->setEnabled(false);
        frame(form)->setEnabled(true);
        press(button(form, "cmdStop"), ": Timer Stopped!");
        QVERIFY(!timer(form)->isEnabled());
        QCOMPARE(lamp(form)->backColor(), int(LampColor::Red));

        press(button(form, "cmdStart"), ": Timer Started!");
        const int remainingAtFirstStart = timer(form)->remainingTime();
        QTRY_VERIFY(timer(form)->remainingTime() < remainingAtFirstStart);
        const int remainingAfterFirstStart = timer(form)->remainingTime();
        press(button(form, "cmdStart"), ": Timer Started!");
        QVERIFY(timer(form)->isActive());
        QCOMPARE(timer(form)->interval(), 60000);
        // A second Start does not restart the minute.
        QVERIFY(timer(form)->remainingTime() <= remainingAfterFirstStart);
        QCOMPARE(lamp(form)->backColor(), int(LampColor::Green));

        press(button(form, "cmdStop"), ": Timer Stopped!");
        press(button(form, "cmdStop"), ": Timer Stopped!");
        QVERIFY(!timer(form)->isActive());
        QCOMPARE(lamp(form)->backColor(), int(LampColor::Red));
        QCOMPARE(pane(form)->text(), expected.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }

    // Start at 09:00:10: the first wait ends at 09:01:30, not in Start's own minute.
    void firstWaitAfterStartEndsInTheNextMinute()
    {
        Scheduler scheduler;
        scheduler.platform.clock->set(QDateTime(QDate(2026, 12, 7), QTime(9, 0, 10)));
        scheduler.form.cmdStart_Click();
        const int remaining = timer(scheduler.form)->remainingTime();
        QVERIFY2(remaining > 79000 && remaining <= 80000, qPrintable(QString::number(remaining)));
    }

    // The real input box: its texts, and the code typed into it, then OK or Cancel.
    void unlock_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<bool>("unlocks");

        QTest::newRow("the access code unlocks") << QStringLiteral("4713") << false << true;
        QTest::newRow("the code typed, then cancelled, is refused") << QStringLiteral("4713") << true << false;
    }

    void unlock()
    {
        QFETCH(QString, typed);
        QFETCH(bool, cancelled);
        QFETCH(bool, unlocks);

        Scheduler scheduler;
        SchedulerWindow& form = scheduler.form;
        QString prompt, title, preset;
        QLineEdit::EchoMode echo = QLineEdit::NoEcho;
        QFont font;
        ModalAnswer answer([&](QWidget* dialog) {
            auto* input = qobject_cast<QInputDialog*>(dialog);
            prompt = input->labelText();
            title = input->windowTitle();
            preset = input->textValue();
            echo = input->textEchoMode();
            auto* field = input->findChild<QLineEdit*>();
            font = field->font();
            QTest::keyClicks(field, typed);
            auto* buttons = input->findChild<QDialogButtonBox*>();
            QTest::mouseClick(buttons->button(cancelled ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok),
                              Qt::LeftButton);
            return true;
        });
        const QString paneBefore = pane(form)->text();

        QTest::mouseClick(button(form, "cmdUnlock"), Qt::LeftButton);

        QVERIFY(answer.answered());
        QCOMPARE(prompt, QStringLiteral("رمز عبور:"));
        QCOMPARE(title, QStringLiteral("سوال"));
        QCOMPARE(preset, QString());
        QCOMPARE(echo, QLineEdit::Normal);
        // The field types in the window's font, the one whose stand-ins the window chose.
        QCOMPARE(font, form.font());
        QCOMPARE(frame(form)->isEnabled(), unlocks);
        QCOMPARE(button(form, "cmdLock")->isEnabled(), unlocks);
        QCOMPARE(button(form, "cmdUnlock")->isEnabled(), !unlocks);
        QCOMPARE(pane(form)->text(), paneBefore);
    }

    // What the answer must be: the code exactly, no blank before or after it.
    void accessCode_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("unlocks");

        QTest::newRow("the access code unlocks") << QStringLiteral("4713") << true;
        QTest::newRow("a blank before the code is refused") << QStringLiteral(" 4713") << false;
        QTest::newRow("a blank after the code is refused") << QStringLiteral("4713 ") << false;
        QTest::newRow("a wrong code is refused") << QStringLiteral("4731") << false;
        QTest::newRow("an empty answer is refused") << QString() << false;
    }

    void accessCode()
    {
        QFETCH(QString, answer);
        QFETCH(bool, unlocks);
        Scheduler scheduler;
        SchedulerWindow& form = scheduler.form;
        const QString paneBefore = pane(form)->text();

        setNextInputBoxAnswer(answer);
        QTest::mouseClick(button(form, "cmdUnlock"), Qt::LeftButton);

        QCOMPARE(frame(form)->isEnabled(), unlocks);
        QCOMPARE(button(form, "cmdLock")->isEnabled(), unlocks);
        QCOMPARE(button(form, "cmdUnlock")->isEnabled(), !unlocks);
        QCOMPARE(pane(form)->text(), paneBefore);
    }

    void lockAfterUnlock()
    {
        Scheduler scheduler;
        SchedulerWindow& form = scheduler.form;
        const auto unlockWith = [&](const QString& code) {
            setNextInputBoxAnswer(code);
            QTest::mouseClick(button(form, "cmdUnlock"), Qt::LeftButton);
        };

        unlockWith(QStringLiteral("4713"));
        QTest::mouseClick(button(form, "cmdLock"), Qt::LeftButton);
        QVERIFY(!frame(form)->isEnabled());
        QVERIFY(!button(form, "cmdLock")->isEnabled());
        QVERIFY(button(form, "cmdUnlock")->isEnabled());
        QVERIFY(!box(form, "chkSendSms")->isEnabled());

        unlockWith(QStringLiteral("4713"));
        QVERIFY(frame(form)->isEnabled());
        QVERIFY(button(form, "cmdLock")->isEnabled());
        QVERIFY(!button(form, "cmdUnlock")->isEnabled());
        QVERIFY(box(form, "chkSendSms")->isEnabled());
    }

    void clearLog_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("while locked") << true;
        QTest::newRow("while unlocked") << false;
    }

    void clearLog()
    {
        QFETCH(bool, locked);
        Scheduler scheduler;
        SchedulerWindow& form = scheduler.form;
        if (!locked) {
            button(form, "cmdUnlock")->setEnabled(false);
            frame(form)->setEnabled(true);
            button(form, "cmdLock")->setEnabled(true);
        }
        const Snapshot lockState(form);

        {
            // An empty pane: no question at all.
            ModalAnswer answer([](QWidget* dialog) { return reply(dialog, Reply::No), true; });
            QTest::mouseClick(button(form, "cmdClear"), Qt::LeftButton);
            QVERIFY(!answer.wasShown());
        }
        form.AddLogLine(QStringLiteral(": Timer Started!"));
        const QString lines = pane(form)->text();
        {
            BoxLook look;
            ModalAnswer answer([&](QWidget* dialog) { return look = lookOf(dialog), reply(dialog, Reply::No), true; });
            QTest::mouseClick(button(form, "cmdClear"), Qt::LeftButton);
            QVERIFY(answer.answered());
            QCOMPARE(look.text, QStringLiteral("Are you sure to clear log?"));
            QCOMPARE(look.title, QStringLiteral("Alert"));
            QCOMPARE(look.buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(look.icon, QMessageBox::Question);
            QVERIFY(look.yesIsDefault);
            QCOMPARE(pane(form)->text(), lines);
            QVERIFY(!QFile::exists(scheduler.dailyLogFile()));
        }
        {
            ModalAnswer answer([](QWidget* dialog) { return reply(dialog, Reply::Escape), true; });
            QTest::mouseClick(button(form, "cmdClear"), Qt::LeftButton);
            QVERIFY(answer.answered());
            QCOMPARE(pane(form)->text(), lines);
        }
        {
            ModalAnswer answer([](QWidget* dialog) { return reply(dialog, Reply::Enter), true; });
            QTest::mouseClick(button(form, "cmdClear"), Qt::LeftButton);
            QVERIFY(answer.answered());
            QVERIFY(pane(form)->isEmpty());
            const QByteArray archived = readFile(scheduler.dailyLogFile());
            QCOMPARE(archived, (dateTimeText(scheduler.platform.clock->now()) + QLatin1Char('\t') + lines +
                                QStringLiteral("\r\n"))
                                   .toUtf8());
        }
        Snapshot after(form);
        after.pane = lockState.pane;
        QVERIFY(after == lockState);
    }

    void clearLogArchivesThePaneAsItIsWhenYesIsPressed()
    {
        Scheduler scheduler;
        SchedulerWindow& form = scheduler.form;
        scheduler.startFastTicks();
        QSignalSpy ticks(timer(form), &MinuteTimer::timeout);

        ModalAnswer answer([&](QWidget* dialog) {
            if (ticks.isEmpty())
                return false;
            reply(dialog, Reply::Yes);
            return true;
        });
        QTest::mouseClick(button(form, "cmdClear"), Qt::LeftButton);

        QVERIFY(answer.answered());
        const QString archived = QString::fromUtf8(readFile(scheduler.dailyLogFile()));
        QVERIFY2(archived.contains(QStringLiteral(": Transfer Data !")), qPrintable(archived));
        QVERIFY(archived.contains(QStringLiteral(": Timer Started!")));
    }

    void closeQuestion_data()
    {
        QTest::addColumn<Reply>("how");
        QTest::addColumn<bool>("closes");

        QTest::newRow("answered Yes: the program ends") << Reply::Yes << true;
        QTest::newRow("Enter takes the default, Yes") << Reply::Enter << true;
        QTest::newRow("answered No: it keeps running") << Reply::No << false;
        QTest::newRow("answered Cancel: it keeps running") << Reply::Cancel << false;
        QTest::newRow("dismissed with Escape: it keeps running") << Reply::Escape << false;
        QTest::newRow("the question's own close box: it keeps running") << Reply::CloseBox << false;
    }

    void closeQuestion()
    {
        QFETCH(Reply, how);
        QFETCH(bool, closes);

        Scheduler scheduler;
        SchedulerWindow& form = scheduler.form;
        form.cmdStart_Click();
        const Snapshot before(form);
        BoxLook look;
        ModalAnswer answer([&](QWidget* dialog) { return look = lookOf(dialog), reply(dialog, how), true; });

        QCOMPARE(form.close(), closes);

        QVERIFY(answer.answered());
        QCOMPARE(look.text, kCloseQuestion);
        QCOMPARE(look.title, QStringLiteral("اخطار"));
        QCOMPARE(look.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(look.icon, QMessageBox::Critical);
        QVERIFY(look.yesIsDefault);
        QCOMPARE(look.direction, Qt::RightToLeft);
        QVERIFY(look.alignment & Qt::AlignRight);
        QCOMPARE(form.isVisible(), !closes);
        QVERIFY(Snapshot(form) == before);
        QVERIFY(!QFile::exists(scheduler.dailyLogFile()));
    }

    void aTickRunsWhileAPromptIsOpen_data()
    {
        QTest::addColumn<QString>("prompt");
        QTest::newRow("the close question") << QStringLiteral("close");
        QTest::newRow("the unlock prompt") << QStringLiteral("unlock");
    }

    void aTickRunsWhileAPromptIsOpen()
    {
        QFETCH(QString, prompt);
        Scheduler scheduler;
        SchedulerWindow& form = scheduler.form;
        scheduler.startFastTicks();
        QSignalSpy ticks(timer(form), &MinuteTimer::timeout);
        int ticksWhileOpen = 0;

        ModalAnswer answer([&](QWidget* dialog) {
            if (ticks.size() < 2)
                return false;
            ticksWhileOpen = ticks.size();
            if (auto* box = qobject_cast<QMessageBox*>(dialog))
                reply(box, Reply::No);
            else
                qobject_cast<QDialog*>(dialog)->reject();
            return true;
        });
        if (prompt == QLatin1String("close"))
            QVERIFY(!form.close());
        else
            form.cmdUnlock_Click();

        QVERIFY(answer.answered());
        QVERIFY(ticksWhileOpen >= 2);
        QVERIFY(pane(form)->text().count(QStringLiteral(": Transfer Data !")) >= 2);
        QVERIFY(timer(form)->isActive());
        QVERIFY(form.isVisible());
    }

    void sessionEnd()
    {
        Scheduler scheduler;
        SchedulerWindow& form = scheduler.form;
        {
            ModalAnswer answer([](QWidget* dialog) { return reply(dialog, Reply::No), true; });
            QVERIFY(sessionMayEnd(form, false));
            QVERIFY(!answer.wasShown());
        }
        {
            BoxLook look;
            ModalAnswer answer([&](QWidget* dialog) { return look = lookOf(dialog), reply(dialog, Reply::No), true; });
            QVERIFY(!sessionMayEnd(form, true));
            QCOMPARE(look.text, kCloseQuestion);
        }
        setNextMessageBoxAnswer(MessageBoxAnswer::Yes);
        QVERIFY(sessionMayEnd(form, true));
        setNextMessageBoxAnswer(MessageBoxAnswer::Cancel);
        QVERIFY(!sessionMayEnd(form, true));
    }
};

QTEST_MAIN(LifecycleTest)
#include "LifecycleTest.moc"
