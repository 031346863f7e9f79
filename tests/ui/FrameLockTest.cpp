#include "TestWindow.h"

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
    frmScheduler* m_window = nullptr;
};

QList<QWidget*> FrameLockTest::inside() const
{
    QList<QWidget*> controls;
    for (QObject* child : m_window->fraCMD->children()) {
        if (child->isWidgetType())
            controls << static_cast<QWidget*>(child);
    }
    return controls;
}

QList<QWidget*> FrameLockTest::outside() const
{
    return {m_window->txtLog, m_window->cmdClear, m_window->cmdLock, m_window->cmdUnlock};
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
    m_window->fraCMD->setEnabled(false);

    for (QWidget* control : inside()) {
        const char* name = qPrintable(control->objectName());
        QVERIFY2(!control->isEnabled(), name);
        QVERIFY2(control->testAttribute(Qt::WA_Disabled), name);
        QVERIFY2(control->isEnabledTo(m_window->fraCMD), name);
    }
    for (QWidget* control : outside())
        QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    QVERIFY(m_window->isEnabled());
}

void FrameLockTest::lockedControlsIgnoreMouseAndKeyboard()
{
    m_window->fraCMD->setEnabled(false);

    QSignalSpy startClicks(m_window->cmdStart, &QPushButton::clicked);
    QSignalSpy stopClicks(m_window->cmdStop, &QPushButton::clicked);
    QSignalSpy autoStartChanges(m_window->chkAutoStart, &VbCheckBox::valueChanged);
    QTest::mouseClick(m_window->cmdStart, Qt::LeftButton);
    QTest::mouseClick(m_window->cmdStop, Qt::LeftButton);
    QTest::mouseClick(m_window->chkAutoStart, Qt::LeftButton);
    QCOMPARE(startClicks.count(), 0);
    QCOMPARE(stopClicks.count(), 0);
    QCOMPARE(autoStartChanges.count(), 0);
    QCOMPARE(m_window->chkAutoStart->value(), 0);

    // Tab goes round the pane and the three buttons outside, and never into the frame.
    m_window->txtLog->setFocus();
    QStringList visited;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        QVERIFY2(!m_window->fraCMD->isAncestorOf(focused), qPrintable(focused->objectName()));
        visited << focused->objectName();
    }
    QCOMPARE(visited.mid(0, 4), QStringList({QStringLiteral("cmdUnlock"), QStringLiteral("cmdLock"),
                                             QStringLiteral("cmdClear"), QStringLiteral("txtLog")}));

    m_window->cmbMIn->setFocus();
    QVERIFY(!m_window->cmbMIn->hasFocus() && !m_window->cmbMIn->lineEdit()->hasFocus());
    QTest::keyClicks(m_window->cmbMIn->lineEdit(), QStringLiteral("7"));
    QCOMPARE(m_window->cmbMIn->currentText(), QStringLiteral("Combo1"));
}

void FrameLockTest::unlockingKeepsEachControlsOwnFlag()
{
    // A control switched off on its own stays off through a lock and an unlock; all others come back.
    m_window->cmdStop->setEnabled(false);
    m_window->fraCMD->setEnabled(false);
    m_window->fraCMD->setEnabled(true);

    for (QWidget* control : inside())
        QCOMPARE(control->isEnabled(), control != m_window->cmdStop);

    QTest::mouseClick(m_window->chkTransferPerson, Qt::LeftButton);
    QCOMPARE(m_window->chkTransferPerson->value(), 1);
}

QTEST_MAIN(FrameLockTest)
#include "FrameLockTest.moc"
