#include "support/TestWindow.h"
#include "support/WindowControls.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

// Locking is nothing but fraCMD's Enabled flag: the controls inside stop reacting, and each keeps its own
// flag so that unlocking gives back exactly what was there.
class FrameLockTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lockingReachesEveryControlInsideAndNothingOutside();
    void lockedControlsIgnoreMouseAndKeyboard();
    void unlockingKeepsEachControlsOwnFlag();

private:
    QList<QWidget*> inside() const;
    QList<QWidget*> outside() const;

    std::unique_ptr<TestWindow> m_test;
    SchedulerWindow* m_window = nullptr;
};

QList<QWidget*> FrameLockTest::inside() const
{
    QList<QWidget*> controls;
    for (QObject* child : frame(*m_window)->children()) {
        if (child->isWidgetType())
            controls << static_cast<QWidget*>(child);
    }
    return controls;
}

QList<QWidget*> FrameLockTest::outside() const
{
    return {pane(*m_window), button(*m_window, "cmdClear"), button(*m_window, "cmdLock"),
            button(*m_window, "cmdUnlock")};
}

void FrameLockTest::init()
{
    m_test = std::make_unique<TestWindow>();
    m_window = &m_test->window();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void FrameLockTest::cleanup()
{
    m_window = nullptr;
    m_test.reset();
}

void FrameLockTest::lockingReachesEveryControlInsideAndNothingOutside()
{
    QCOMPARE(inside().size(), 19);
    frame(*m_window)->setEnabled(false);

    for (QWidget* control : inside()) {
        const char* name = qPrintable(control->objectName());
        QVERIFY2(!control->isEnabled(), name);
        QVERIFY2(control->testAttribute(Qt::WA_Disabled), name);
        QVERIFY2(control->isEnabledTo(frame(*m_window)), name);
    }
    for (QWidget* control : outside())
        QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    QVERIFY(m_window->isEnabled());
}

void FrameLockTest::lockedControlsIgnoreMouseAndKeyboard()
{
    frame(*m_window)->setEnabled(false);

    QSignalSpy startClicks(button(*m_window, "cmdStart"), &QPushButton::clicked);
    QSignalSpy stopClicks(button(*m_window, "cmdStop"), &QPushButton::clicked);
    QSignalSpy autoStartChanges(box(*m_window, "chkAutoStart"), &ValueCheckBox::valueChanged);
    QTest::mouseClick(button(*m_window, "cmdStart"), Qt::LeftButton);
    QTest::mouseClick(button(*m_window, "cmdStop"), Qt::LeftButton);
    QTest::mouseClick(box(*m_window, "chkAutoStart"), Qt::LeftButton);
    QCOMPARE(startClicks.count(), 0);
    QCOMPARE(stopClicks.count(), 0);
    QCOMPARE(autoStartChanges.count(), 0);
    QCOMPARE(box(*m_window, "chkAutoStart")->value(), 0);

    // Tab goes round the pane and the three buttons outside, and never into the frame.
    pane(*m_window)->setFocus();
    QStringList visited;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        QVERIFY2(!frame(*m_window)->isAncestorOf(focused), qPrintable(focused->objectName()));
        visited << focused->objectName();
    }
    QCOMPARE(visited.mid(0, 4), QStringList({QStringLiteral("cmdUnlock"), QStringLiteral("cmdLock"),
                                             QStringLiteral("cmdClear"), QStringLiteral("txtLog")}));

    combo(*m_window, "cmbMIn")->setFocus();
    QVERIFY(!combo(*m_window, "cmbMIn")->hasFocus() && !combo(*m_window, "cmbMIn")->lineEdit()->hasFocus());
    QTest::keyClicks(combo(*m_window, "cmbMIn")->lineEdit(), QStringLiteral("7"));
    QCOMPARE(combo(*m_window, "cmbMIn")->currentText(), QStringLiteral("Combo1"));
}

void FrameLockTest::unlockingKeepsEachControlsOwnFlag()
{
    // A control switched off on its own stays off through a lock and an unlock; all others come back.
    button(*m_window, "cmdStop")->setEnabled(false);
    frame(*m_window)->setEnabled(false);
    frame(*m_window)->setEnabled(true);

    for (QWidget* control : inside())
        QCOMPARE(control->isEnabled(), control != button(*m_window, "cmdStop"));

    QTest::mouseClick(box(*m_window, "chkTransferPerson"), Qt::LeftButton);
    QCOMPARE(box(*m_window, "chkTransferPerson")->value(), 1);
}

QTEST_MAIN(FrameLockTest)
#include "FrameLockTest.moc"
