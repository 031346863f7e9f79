#include "scheduler/JobTable.h"
#include "settings/SettingsTable.h"
#include "support/TestWindow.h"
#include "support/WindowControls.h"
#include "ui/ControlLatch.h"

#include <QKeySequence>
#include <QScreen>
#include <QStyleOptionButton>
#include <QtTest>

#include <memory>

namespace {

const QString kWindow = QStringLiteral("frmScheduler");
const QString kFrame = QStringLiteral("fraCMD");
const QColor kDefault; // the platform's own colour for that kind of control
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

const QStringList kMinutes = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                              QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
                              QStringLiteral("9"), QStringLiteral("10")};
const QStringList kHours = {QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("11"),
                            QStringLiteral("12")};

QWidget* control(QWidget& window, const QString& name)
{
    return name == kWindow ? &window : window.findChild<QWidget*>(name);
}

// The colour pair that the control shows: its face and its text.
std::pair<QPalette::ColorRole, QPalette::ColorRole> shownRoles(const QWidget& widget)
{
    if (qobject_cast<const QPlainTextEdit*>(&widget))
        return {QPalette::Base, QPalette::Text};
    if (const auto* box = qobject_cast<const QComboBox*>(&widget))
        return box->isEditable() ? std::pair{QPalette::Base, QPalette::Text}
                                 : std::pair{QPalette::Button, QPalette::ButtonText};
    if (qobject_cast<const QPushButton*>(&widget))
        return {QPalette::Button, QPalette::ButtonText};
    return {QPalette::Window, QPalette::WindowText};
}

QString caption(const QWidget& widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        return label->text();
    if (const auto* box = qobject_cast<const QComboBox*>(&widget))
        return box->currentText();
    if (const auto* pane = qobject_cast<const LogPane*>(&widget))
        return pane->text();
    return widget.windowTitle();
}

// The caption as drawn: a doubled ampersand shows as one, and trailing blanks take no visible room.
QString drawnCaption(const QString& text)
{
    QString drawn = text;
    drawn.replace(QStringLiteral("&&"), QStringLiteral("&"));
    while (drawn.endsWith(QLatin1Char(' ')))
        drawn.chop(1);
    return drawn;
}

} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlAsCreated_data();
    void controlAsCreated();
    void controlsStandInCreationOrder();
    void focusMovesInTheOperatorsOrder();
    void windowOpensCentredWithTheLogPaneFocused();
    void comboBoxesStartWithNothingSelected();
    void captionsFitTheirBoxes();
    void iconComesInEverySize();
    void eachJobRowReachesItsOwnControls();

private:
    std::unique_ptr<TestWindow> m_test;
    SchedulerWindow* m_window = nullptr;
};

void WindowLayoutTest::init()
{
    m_test = std::make_unique<TestWindow>();
    m_window = &m_test->window();
}

void WindowLayoutTest::cleanup()
{
    m_window = nullptr;
    m_test.reset();
}

void WindowLayoutTest::controlAsCreated_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<QColor>("face");
    QTest::addColumn<QColor>("ink");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("bold");

    auto row = [](const char* name, const char* kind, const QString& parent, QRect geometry, const QString& text,
                  int value, QColor face, QColor ink, int pointSize = 8, bool bold = false) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind) << parent << geometry << text
                            << value << face << ink << pointSize << bold;
    };
    const QString none;
    const QString window = kWindow;
    const QString frame = kFrame;

    row("frmScheduler", "SchedulerWindow", none, {0, 0, 944, 515}, QStringLiteral("Zor Scheduler"), -1, kWhite,
        kDefault);
    row("cmdClear", "QPushButton", window, {4, 485, 78, 25}, QStringLiteral("Clear Log"), -1, kDefault, kDefault);
    row("cmdLock", "QPushButton", window, {885, 11, 51, 25}, QStringLiteral("Lock"), -1, kDefault, kDefault);
    row("cmdUnlock", "QPushButton", window, {885, 38, 51, 24}, QStringLiteral("Unlock"), -1, kDefault, kDefault);
    row("txtLog", "LogPane", window, {6, 127, 928, 354}, none, -1, kWhite, kBlack);
    row("fraCMD", "QFrame", window, {5, 3, 876, 118}, none, -1, kWhite, kDefault);

    row("cmdStart", "QPushButton", frame, {8, 14, 69, 23}, QStringLiteral("Start"), -1, kDefault, kDefault);
    row("Label3", "QLabel", frame, {86, 17, 243, 21}, QStringLiteral("Just in Main Branch Server:"), -1, kWhite, kRed,
        12, true);
    row("Label4", "QLabel", frame, {456, 16, 322, 21}, QStringLiteral("Just in All Branches' Server :"), -1, kWhite,
        kRed, 12, true);
    row("cmdStop", "QPushButton", frame, {8, 38, 69, 23}, QStringLiteral("Stop"), -1, kDefault, kDefault);
    row("chkBackupDatabase", "ValueCheckBox", frame, {471, 39, 288, 13},
        QStringLiteral("Backup database every day on 11:50 PM to exit folder"), 1, kWhite, kBlack);
    row("chkAutoStart", "ValueCheckBox", frame, {8, 65, 69, 22}, QStringLiteral("Auto Start"), 0, kWhite, kDefault);
    row("chkTransferPerson", "ValueCheckBox", frame, {98, 58, 188, 13},
        QStringLiteral("Transfer Person && Copouns  Every "), 0, kWhite, kBlack);
    row("cmbTransferMin", "IndexComboBox", frame, {283, 55, 43, 21}, QStringLiteral("Combo1"), -1, kWhite, kBlack);
    row("Label5", "QLabel", frame, {329, 59, 22, 16}, QStringLiteral("Min."), -1, kWhite, kWhite);
    row("chkCleanBackupDir", "ValueCheckBox", frame, {471, 58, 335, 13},
        QStringLiteral("Clean Exit Backup Directory Every Saturday on 11:00 AM"), 1, kWhite, kBlack);
    row("chkProcessInternetOrders", "ValueCheckBox", frame, {98, 77, 258, 13},
        QStringLiteral("Process Internet Orders Every 1 Min."), 0, kWhite, kBlack);
    row("chkRunUpdateManager", "ValueCheckBox", frame, {471, 77, 268, 13},
        QStringLiteral("Run Update Manager Every 5 Min"), 1, kWhite, kBlack);
    row("shpStatus", "StatusLamp", frame, {25, 89, 31, 23}, none, -1, kWhite, kDefault);
    row("chkSendSms", "ValueCheckBox", frame, {98, 96, 258, 13},
        QStringLiteral("Send Scheduled SMS and Credit Calculation On"), 0, kWhite, kBlack);
    row("cmbSMSTime", "IndexComboBox", frame, {348, 92, 51, 21}, none, -1, kWhite, kBlack);
    row("Label2", "QLabel", frame, {400, 96, 22, 16}, QStringLiteral("AM"), -1, kWhite, kWhite);
    row("chkTransferData", "ValueCheckBox", frame, {471, 96, 240, 13},
        QStringLiteral("Transfer Branch data when server exists every"), 1, kWhite, kBlack);
    row("cmbMIn", "IndexComboBox", frame, {714, 93, 43, 21}, QStringLiteral("Combo1"), -1, kWhite, kBlack);
    row("Label1", "QLabel", frame, {760, 97, 22, 16}, QStringLiteral("Min."), -1, kWhite, kWhite);
}

void WindowLayoutTest::controlAsCreated()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(QColor, face);
    QFETCH(QColor, ink);
    QFETCH(int, pointSize);
    QFETCH(bool, bold);

    QWidget* widget = control(*m_window, name);
    QVERIFY(widget);
    QCOMPARE(widget->metaObject()->className(), kind.toLatin1());
    QCOMPARE(widget->parentWidget() ? widget->parentWidget()->objectName() : QString(), parent);
    QCOMPARE(widget->geometry().size(), geometry.size());
    if (widget != m_window)
        QCOMPARE(widget->geometry(), geometry);

    QCOMPARE(caption(*widget), text);
    QVERIFY2(QKeySequence::mnemonic(caption(*widget)).isEmpty(), "no caption defines an access key");
    if (auto* box = qobject_cast<ValueCheckBox*>(widget))
        QCOMPARE(box->value(), value);

    QVERIFY(widget->isEnabled());
    QVERIFY(widget == m_window || widget->isVisibleTo(m_window));
    QVERIFY(controlLatch(widget).isEmpty());

    const auto [faceRole, inkRole] = shownRoles(*widget);
    const QPalette platform = QApplication::palette(widget);
    QCOMPARE(widget->palette().color(QPalette::Active, faceRole),
             face.isValid() ? face : platform.color(QPalette::Active, faceRole));
    QCOMPARE(widget->palette().color(QPalette::Active, inkRole),
             ink.isValid() ? ink : platform.color(QPalette::Active, inkRole));

    QCOMPARE(widget->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(widget->font().pointSize(), pointSize);
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->font().italic() || widget->font().underline() || widget->font().strikeOut(), false);
}

void WindowLayoutTest::controlsStandInCreationOrder()
{
    // The order of creation is also the order of stacking, where controls overlap.
    auto namedChildren = [](const QWidget& parent) {
        QStringList names;
        for (const QObject* child : parent.children()) {
            if (child->isWidgetType() && !child->objectName().isEmpty())
                names << child->objectName();
        }
        return names;
    };
    QCOMPARE(namedChildren(*m_window), QStringList({QStringLiteral("cmdClear"), QStringLiteral("cmdLock"),
                                                    QStringLiteral("cmdUnlock"), QStringLiteral("txtLog"), kFrame}));
    QCOMPARE(namedChildren(*frame(*m_window)),
             QStringList({QStringLiteral("chkBackupDatabase"), QStringLiteral("cmbTransferMin"),
                          QStringLiteral("cmbSMSTime"), QStringLiteral("cmdStart"), QStringLiteral("cmdStop"),
                          QStringLiteral("chkAutoStart"), QStringLiteral("chkTransferPerson"),
                          QStringLiteral("chkProcessInternetOrders"), QStringLiteral("chkSendSms"),
                          QStringLiteral("chkTransferData"), QStringLiteral("chkCleanBackupDir"),
                          QStringLiteral("chkRunUpdateManager"), QStringLiteral("cmbMIn"), QStringLiteral("Label5"),
                          QStringLiteral("Label4"), QStringLiteral("Label3"), QStringLiteral("Label2"),
                          QStringLiteral("shpStatus"), QStringLiteral("Label1")}));

    QCOMPARE(timer(*m_window)->parent(), m_window);
    QCOMPARE(timer(*m_window)->isEnabled(), false);
    QCOMPARE(timer(*m_window)->interval(), 0);
}

void WindowLayoutTest::focusMovesInTheOperatorsOrder()
{
    // One round of the focus chain from the log pane, keeping the controls that Tab stops at. An editable
    // combo box takes the focus through its text field, which stands for the box.
    QStringList order;
    QWidget* widget = pane(*m_window);
    do {
        QWidget* stop = widget;
        if (qobject_cast<QLineEdit*>(widget) && qobject_cast<QComboBox*>(widget->parentWidget()))
            stop = widget->parentWidget();
        if ((widget->focusPolicy() & Qt::TabFocus) && (order.isEmpty() || order.last() != stop->objectName()))
            order << stop->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != pane(*m_window));

    const QStringList expected = {QStringLiteral("txtLog"),
                                  QStringLiteral("cmbMIn"),
                                  QStringLiteral("chkRunUpdateManager"),
                                  QStringLiteral("chkCleanBackupDir"),
                                  QStringLiteral("chkTransferData"),
                                  QStringLiteral("chkSendSms"),
                                  QStringLiteral("chkProcessInternetOrders"),
                                  QStringLiteral("chkTransferPerson"),
                                  QStringLiteral("chkAutoStart"),
                                  QStringLiteral("cmdStop"),
                                  QStringLiteral("cmdStart"),
                                  QStringLiteral("cmdUnlock"),
                                  QStringLiteral("cmdLock"),
                                  QStringLiteral("cmdClear"),
                                  QStringLiteral("cmbSMSTime"),
                                  QStringLiteral("cmbTransferMin"),
                                  QStringLiteral("chkBackupDatabase")};
    QCOMPARE(order, expected);

    // The frame, the labels and the lamp hold no place that takes the focus.
    for (const char* name : {"fraCMD", "Label1", "Label2", "Label3", "Label4", "Label5", "shpStatus"})
        QCOMPARE(control(*m_window, QLatin1String(name))->focusPolicy() & Qt::TabFocus, 0);

    // No push button answers Enter or Escape for the window.
    for (QPushButton* button : m_window->findChildren<QPushButton*>())
        QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
}

void WindowLayoutTest::windowOpensCentredWithTheLogPaneFocused()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    // The window system may add its frame around the place asked for; it shifts the window by at most the
    // frame's width.
    const QRect screen = m_window->screen()->availableGeometry();
    const QPoint offCentre = m_window->geometry().center() - screen.center();
    const QSize frame = m_window->frameGeometry().size() - m_window->size();
    QVERIFY2(qAbs(offCentre.x()) <= qMax(1, frame.width()) && qAbs(offCentre.y()) <= qMax(1, frame.height()),
             qPrintable(QStringLiteral("%1,%2 px off the screen's centre").arg(offCentre.x()).arg(offCentre.y())));
    QCOMPARE(QApplication::focusWidget(), pane(*m_window));

    QTest::keyClick(pane(*m_window), Qt::Key_Tab);
    QVERIFY(combo(*m_window, "cmbMIn")->hasFocus() || combo(*m_window, "cmbMIn")->lineEdit()->hasFocus());
}

void WindowLayoutTest::comboBoxesStartWithNothingSelected()
{
    struct Expected
    {
        IndexComboBox* box;
        QStringList list;
        bool editable;
        QString field;
    };
    for (const Expected& e : {Expected{combo(*m_window, "cmbTransferMin"), kMinutes, true, QStringLiteral("Combo1")},
                              Expected{combo(*m_window, "cmbSMSTime"), kHours, false, QString()},
                              Expected{combo(*m_window, "cmbMIn"), kMinutes, true, QStringLiteral("Combo1")}}) {
        const QString name = e.box->objectName();
        QCOMPARE(e.box->listIndex(), -1);
        QCOMPARE(e.box->isEditable(), e.editable);
        QCOMPARE(e.box->currentText(), e.field);
        QStringList list;
        for (int i = 0; i < e.box->count(); ++i) {
            list << e.box->list(i);
            QVERIFY2(e.box->itemData(i).isNull() || e.box->itemData(i).toInt() == 0, qPrintable(name));
        }
        QCOMPARE(list, e.list);
    }

    // Choosing an entry replaces the starting text with the entry's.
    combo(*m_window, "cmbTransferMin")->setListIndex(9);
    QCOMPARE(combo(*m_window, "cmbTransferMin")->currentText(), QStringLiteral("10"));
}

void WindowLayoutTest::captionsFitTheirBoxes()
{
    // The window's font is a stand-in wherever "MS Sans Serif" is missing; with a face of other widths a
    // caption would run past its box's fixed right edge and lose its last letters.
    for (QCheckBox* box : m_window->findChildren<QCheckBox*>()) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        const QFontMetrics metrics = box->fontMetrics();
        QVERIFY2(metrics.horizontalAdvance(drawnCaption(box->text())) <= room.width(),
                 qPrintable(QStringLiteral("%1 (%2): %3 px of text in %4 px")
                                .arg(box->objectName(), QFontInfo(box->font()).family())
                                .arg(metrics.horizontalAdvance(drawnCaption(box->text())))
                                .arg(room.width())));
        QVERIFY2(metrics.height() <= box->height(), qPrintable(box->objectName()));
    }
    for (QLabel* label : {label(*m_window, "Label3"), label(*m_window, "Label4")}) {
        const QFontMetrics metrics = label->fontMetrics();
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(), qPrintable(label->objectName()));
        QVERIFY2(metrics.height() <= label->height(), qPrintable(label->objectName()));
    }
}

void WindowLayoutTest::iconComesInEverySize()
{
    const QIcon icon = m_window->windowIcon();
    QVERIFY(!icon.isNull());
    QList<QSize> expected;
    for (int size : {16, 32, 48, 64, 128, 256})
        expected << QSize(size, size);
    QCOMPARE(icon.availableSizes(), expected);
    // Dark slate blue in the middle of the edge, where the pictogram leaves the background free.
    const QImage small = icon.pixmap(QSize(32, 32)).toImage();
    QCOMPARE(small.pixelColor(16, 31), QColor(61, 87, 107));
    QVERIFY(small.hasAlphaChannel());
}

// The job tick reaches each row's controls through the window's binding: what it reads and writes is what the
// row's own controls show. (The settings' are SettingsTest's: each control's click stores its own key.)
void WindowLayoutTest::eachJobRowReachesItsOwnControls()
{
    SchedulerWindow& window = *m_window;
    for (const SchedulerJob& job : kSchedulerJobs) {
        QVERIFY(jobBox(window, job.row)->setValue(CheckBoxValue::Grayed));
        QCOMPARE(window.jobValue(job.row), int(CheckBoxValue::Grayed));
        QVERIFY(jobBox(window, job.row)->setValue(CheckBoxValue::Unchecked));
        window.setJobLatch(job.row, QStringLiteral("tag"));
        QCOMPARE(controlLatch(jobBox(window, job.row)), QStringLiteral("tag"));
        if (IndexComboBox* numbers = jobCombo(window, job.row)) {
            QVERIFY(numbers->setListIndex(4));
            QCOMPARE(window.jobNumber(job.row), numbers->list(4).toInt());
        } else {
            QCOMPARE(window.jobNumber(job.row), std::nullopt);
        }
    }
    window.setArchiveLatch(QStringLiteral("CLEARED"));
    QCOMPARE(controlLatch(pane(window)), QStringLiteral("CLEARED"));
}

QTEST_MAIN(WindowLayoutTest)
#include "WindowLayoutTest.moc"
