#include "platform/EventLogId.h"
#include "platform/SystemLog.h"

#include <QTest>

#include <filesystem>
#include <string>

#include <windows.h>

// The message table of the built zorScheduler.exe, read as Event Viewer reads it: the event ID that the
// Application log's sink reports a kind of event with, looked up in the program's resources, and its two
// strings put into the text.

Q_DECLARE_METATYPE(SystemEventId)

namespace {

// The program beside the suites: ZOR_PROGRAM_FROM_SUITES is its path relative to their folder.
std::wstring programPath()
{
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::filesystem::path suites = std::filesystem::path(std::wstring(self, length)).parent_path();
    return (suites / std::filesystem::u8path(ZOR_PROGRAM_FROM_SUITES)).lexically_normal().wstring();
}

} // namespace

class EventMessagesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyKindOfEventHasItsTextInTheProgram_data();
    void everyKindOfEventHasItsTextInTheProgram();

private:
    HMODULE m_program = nullptr;
};

void EventMessagesTest::initTestCase()
{
    m_program = LoadLibraryExW(programPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    QVERIFY2(m_program, (std::filesystem::path(programPath()).u8string() + " cannot be read").c_str());
}

void EventMessagesTest::cleanupTestCase()
{
    if (m_program)
        FreeLibrary(m_program);
}

void EventMessagesTest::everyKindOfEventHasItsTextInTheProgram_data()
{
    QTest::addColumn<SystemEventId>("id");
#define ZOR_SYSTEM_EVENT(number, name, type) QTest::newRow(#name) << SystemEventId::name;
#include "platform/SystemEvents.def"
#undef ZOR_SYSTEM_EVENT
}

void EventMessagesTest::everyKindOfEventHasItsTextInTheProgram()
{
    QFETCH(SystemEventId, id);

    const wchar_t text[] = L"Start Velmora.exe ;;;;;;;;;;True";
    const wchar_t fields[] = L"JOB=TransferPerson\r\nPROCESS_ID=42";
    DWORD_PTR strings[] = {reinterpret_cast<DWORD_PTR>(text), reinterpret_cast<DWORD_PTR>(fields)};
    wchar_t message[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, m_program,
                                        eventLogId(id), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), message,
                                        sizeof message / sizeof *message, reinterpret_cast<va_list*>(strings));
    QVERIFY2(length > 0,
             ("no message " + std::to_string(eventLogId(id)) + ", error " + std::to_string(GetLastError())).c_str());
    QCOMPARE(QString::fromWCharArray(message, static_cast<int>(length)),
             QString::fromStdWString(std::wstring(text) + L"\r\n" + fields + L"\r\n"));
}

QTEST_GUILESS_MAIN(EventMessagesTest)
#include "EventMessagesTest.moc"
