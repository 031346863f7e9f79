#include "app/SessionEnd.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QtTest>

// How the session's end reaches the window. Whether the close question lets it go ahead is LifecycleTest's.
class SessionEndTest : public QObject
{
    Q_OBJECT

private slots:
    // The guard lasts as long as its window: once the window is gone, a session's end asks nothing.
    void theGuardLastsAsLongAsItsWindow()
    {
        auto* guarded = new TestWindow;
        const QMetaObject::Connection guard = guardSessionEnd(*qApp, guarded->window());
        QVERIFY(guard);
        delete guarded;
        QVERIFY(!guard);
    }
};

QTEST_MAIN(SessionEndTest)
#include "SessionEndTest.moc"
