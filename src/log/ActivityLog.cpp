#include "log/ActivityLog.h"

#include "log/DailyLogFile.h"
#include "log/DateTimeText.h"
#include "log/LogJournal.h"
#include "log/LogPaneText.h"
#include "platform/AnsiCodePage.h"
#include "platform/ApplicationInfo.h"
#include "platform/Clock.h"
#include "platform/FilePaths.h"
#include "platform/LineSafeText.h"
#include "platform/TextFileService.h"
#include "platform/UserStateFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QtDebug>

#include <ostream>

namespace {

const std::string kLineEnd = "\r\n";

QString fromAnsi(const std::string& bytes)
{
    return QString::fromStdString(fromAnsiCodePage(bytes));
}

// The pane's text inside an entry: after the archive's date-time text and TAB, before the entry's own CR LF.
std::string paneOfEntry(const std::string& entry)
{
    const std::size_t tab = entry.find('\t');
    if (tab == std::string::npos || entry.size() < tab + 1 + kLineEnd.size())
        return std::string();
    return entry.substr(tab + 1, entry.size() - tab - 1 - kLineEnd.size());
}

int lineCount(const std::string& pane)
{
    int count = 0;
    for (std::size_t at = pane.find(kLineEnd); at != std::string::npos; at = pane.find(kLineEnd, at + 2))
        ++count;
    return count;
}

// Outside text (the program's folder, a file path, the system's error text) in a pane line or on standard error
// keeps the line one line: see lineSafeText. The program's own texts hold no character it changes.
QString lineSafe(const QString& text)
{
    return QString::fromStdString(lineSafeText(text.toStdString()));
}

void say(const QString& problem)
{
    qWarning("%ls", qUtf16Printable(lineSafe(problem.mid(2))));
}

void reportArchived(const QString& file, const QString& pane)
{
    const int lines = static_cast<int>(pane.count(QLatin1String("\r\n")));
    reportSystemEvent({SystemEventId::LogArchived,
                       QStringLiteral("The log pane's %1 lines were archived to %2.")
                           .arg(QString::number(lines), QDir::toNativeSeparators(file))
                           .toStdString(),
                       {{"FILE", file.toStdString()}, {"LINES", std::to_string(lines)}}});
}

} // namespace

// Where an entry went: the file that took it (empty when none did), and each file tried with why it did not.
struct ActivityLog::Archived
{
    QString where;
    QString file;
    QString failure;
    QString fallback;
    QString fallbackFailure;
};

ActivityLog::ActivityLog(LogPaneText& pane, const Clock& clock, const ApplicationInfo& application)
    : m_pane(pane), m_clock(clock), m_application(application)
{
}

ActivityLog::~ActivityLog() = default;

void ActivityLog::AddLogLine(const QString& message, const SystemEvent& event)
{
    const QString shown = lineSafe(message);
    const QString line = dateTimeText(m_clock.now()) + shown + QLatin1String("\r\n");
    m_pane.prependText(line);
    if (m_journal)
        m_journal->add(line.toStdString());
    SystemEvent told = event;
    if (told.text.empty())
        told.text = (shown.startsWith(QLatin1String(": ")) ? shown.mid(2) : shown).toStdString();
    reportSystemEvent(std::move(told));
}

bool ActivityLog::ClearLog()
{
    settleKeptRecord();
    const QString message = m_pane.text();
    const Archived archived = archivePane(m_clock.now());
    if (archived.where.isEmpty()) {
        // Emptying the pane now would lose the lines for good: they stay until an archive succeeds. The day's
        // file comes on top, as the line of the file the archive is meant for.
        if (archived.fallback != archived.file)
            sayArchiveFailed(archived.fallback, archived.fallbackFailure);
        sayArchiveFailed(archived.file, archived.failure);
        return false;
    }
    reportArchived(archived.where, message);
    m_pane.setText(QString());
    if (archived.where != archived.file)
        AddLogLine(QStringLiteral(": The log pane could not be archived to %1 (%2); its lines went to %3.")
                       .arg(archived.file, archived.failure, archived.where),
                   {SystemEventId::LogArchiveFailed,
                    {},
                    {{"FILE", archived.file.toStdString()}, {"ERROR", archived.failure.toStdString()}}});
    return true;
}

void ActivityLog::sayArchiveFailed(const QString& file, const QString& failure)
{
    AddLogLine(QLatin1String(": Log archive failed: ") + failure + QLatin1Char(' ') + file,
               {SystemEventId::LogArchiveFailed, {}, {{"FILE", file.toStdString()}, {"ERROR", failure.toStdString()}}});
}

LogWrite ActivityLog::WriteLog(const QString& message, const QString& file, bool overwrite)
{
    // One reading for the file's date and the entry's time, so an entry written on the stroke of midnight
    // cannot land in one day's file stamped with the next day's time.
    const QDateTime now = m_clock.now();
    const QString target = file.isEmpty() ? dailyLogFilePath(m_application.directory(), now.date()) : file;
    return {target,
            writeEntry(logEntryBytes(dateTimeText(now).toStdString(), message.toStdString()), target, overwrite)};
}

void ActivityLog::archiveAtExit(std::ostream& errors)
{
    settleKeptRecord();
    if (m_pane.isEmpty())
        return;
    const QDateTime now = m_clock.now();
    const QString message = m_pane.text();
    const Archived archived = archivePane(now);
    const QString& daily = archived.file;
    if (archived.where == daily) {
        reportArchived(daily, message);
        m_pane.setText(QString());
        return;
    }
    std::string problem = m_application.baseName().toStdString() + ": the log pane could not be archived to " +
                          daily.toStdString() + " (" + archived.failure.toStdString() + ")";
    SystemEvent event{SystemEventId::LogArchiveFailed, {}, {{"FILE", daily.toStdString()}}};
    if (!archived.where.isEmpty()) {
        problem += "; its lines went to " + archived.where.toStdString();
        event.text = problem;
        reportSystemEvent(event);
        errors << lineSafeText(problem) << std::endl;
        m_pane.setText(QString());
        return;
    }
    problem += ", nor to " + archived.fallback.toStdString() + " (" + archived.fallbackFailure.toStdString() + ")";
    if (m_journal && m_journal->isProtecting())
        problem += "; they stay in " + m_journal->path() + " and go to the log file at the next start";
    event.text = problem;
    reportSystemEvent(event);
    // The entry as the file would have had it, with the line ends of a terminal.
    QString lines = dateTimeText(now) + QLatin1Char('\t') + message;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    errors << lineSafeText(problem) << "; its lines follow" << std::endl << lines.toStdString() << std::flush;
}

void ActivityLog::recoverLastRun()
{
    // The user's state folder keeps the journal: it outlives a power cut (a runtime folder may not), and it
    // belongs to the user alone, as the single-instance lock does, where Temp is shared by every user and copy
    // of the program in its folder. Named after the program, as the lock is.
    const QString folder = m_application.stateDirectory();
    const QString name = m_application.baseName();
    makePrivateFolder(folder);
    m_journal = std::make_unique<LogJournal>(fileInDirectory(folder, name + QLatin1String(".journal")).toStdString(),
                                             fileInDirectory(folder, name + QLatin1String(".archiving")).toStdString());
    if (!m_journal->open()) {
        const QString problem =
            QStringLiteral(": The journal %1 cannot be used (%2): the pane's lines are not protected against a crash "
                           "or a power cut.")
                .arg(QString::fromStdString(m_journal->path()), QString::fromStdString(m_journal->failure()));
        m_journal.reset();
        AddLogLine(problem, {SystemEventId::LinesNotProtected, {}, {}});
        say(problem);
        return;
    }
    m_journalProtecting = true;

    // An archive that a crash or an I/O error interrupted is settled first.
    std::optional<PendingArchive> pending;
    const bool readable = m_journal->pending(pending);
    if (!readable || pending) {
        settle(pending, readable);
        flushJournal();
        return;
    }
    std::string lines;
    if (!m_journal->read(lines)) {
        setAsideUnreadJournal();
        return;
    }
    if (lines.empty()) {
        flushJournal();
        return;
    }
    const QDateTime now = m_clock.now();
    const std::string entry = toAnsiCodePage(dateTimeText(now).toStdString() + '\t') + paneLinesOf(lines) + kLineEnd;
    sayRecovered(entry, archiveWithFallback(entry, dailyLogFilePath(m_application.directory(), now.date()),
                                            PendingArchive::Kind::Recovery));
    flushJournal();
}

// An archive's record: its entry either landed, and only the journal's emptying is left, or it is written now,
// whole and once. When that cannot be told (the record or the entry's file cannot be read), nothing is written:
// the record and the journal stay as they are, the journal takes no lines, and the next archive or start tries
// again.
void ActivityLog::settle(const std::optional<PendingArchive>& pending, bool readable)
{
    std::string why = m_journal->failure();
    const EntryLanding landing =
        readable ? entryLanded(pending->target, pending->offset, pending->entry, why) : EntryLanding::Unknown;
    if (landing == EntryLanding::Landed) {
        // A record kept by this run's own archive was said when that archive was made.
        const bool untold = !m_journal->keepsRecord() || m_keptRecordUntold;
        m_keptRecordUntold = false;
        m_journal->archiveLanded();
        if (pending->kind == PendingArchive::Kind::Recovery && untold)
            sayRecovered(pending->entry, Archived{QString::fromStdString(pending->target), {}, {}, {}, {}});
        return;
    }
    if (landing == EntryLanding::NotLanded) {
        m_keptRecordUntold = false;
        m_journal->releaseRecord();
        sayRecovered(pending->entry, archiveWithFallback(pending->entry, QString::fromStdString(pending->target),
                                                         PendingArchive::Kind::Recovery));
        return;
    }
    if (m_journal->keepsRecord())
        return;
    const QString target = readable ? QString::fromStdString(pending->target) : QStringLiteral("its log file");
    const QString problem =
        QStringLiteral(": Whether an archive of the last run reached %1 cannot be told now (%2): nothing is archived "
                       "from the journal %3, which keeps its lines until the next archive or start settles it, and "
                       "the pane's lines are not protected against a crash or a power cut until then.")
            .arg(target, QString::fromStdString(why), QString::fromStdString(m_journal->path()));
    m_journal->keepRecord(why);
    m_keptRecordUntold = true;
    m_journalProtecting = false;
    AddLogLine(problem, {SystemEventId::LinesNotProtected, {}, {}});
    say(problem);
}

// An archive whose record the journal keeps goes on without the journal until the record is settled: a new
// record would take the place of the one that says where the last entry is.
void ActivityLog::settleKeptRecord()
{
    if (!m_journal || !m_journal->keepsRecord())
        return;
    std::optional<PendingArchive> pending;
    const bool readable = m_journal->pending(pending);
    if (readable && !pending)
        m_journal->releaseRecord();
    else
        settle(pending, readable);
    // Settled, the journal protects the lines again: the pane's, which it did not take meanwhile, first.
    if (m_journal && !m_journal->keepsRecord() && m_journal->isProtecting())
        m_journal->rewrite(toAnsiCodePage(m_pane.text().toStdString()));
    flushJournal();
}

// The last run's lines that could not be read stay where they are, under a name of their own; this run gets a
// new journal. Emptying the journal (the next archive that lands would) would lose them for good.
void ActivityLog::setAsideUnreadJournal()
{
    const QString journal = QString::fromStdString(m_journal->path());
    const QString why = QString::fromStdString(m_journal->failure());
    const QString unused = journal + QLatin1String(".unread-") + m_clock.now().toString(u"yyyy-MM-dd-HHmmss");
    QString aside = unused;
    for (int number = 2; QFileInfo::exists(aside); ++number)
        aside = unused + QLatin1Char('-') + QString::number(number);
    const bool setAside = m_journal->setAside(aside.toStdString());
    QString problem = QStringLiteral(": The journal %1 could not be read (%2): the last run's lines in it are not "
                                     "archived, and stay in %3")
                          .arg(journal, why, setAside ? aside : journal);
    // A journal that keeps its name is never opened again in this run, so nothing empties it.
    if (setAside && m_journal->open()) {
        problem += QLatin1String("; a new journal protects this run's lines.");
    } else {
        problem += QLatin1String("; this run's lines are not protected against a crash or a power cut.");
        m_journal.reset();
    }
    m_journalProtecting = m_journal != nullptr;
    AddLogLine(problem, {SystemEventId::LinesRecovered, {}, {}});
    say(problem);
    flushJournal();
}

void ActivityLog::flushJournal()
{
    if (!m_journal)
        return;
    m_journal->flush();
    const bool protecting = m_journal->isProtecting();
    if (m_journalProtecting && !protecting) {
        const QString problem =
            QStringLiteral(": The journal %1 failed (%2): the pane's lines are not protected against a crash or a "
                           "power cut until an archive lands.")
                .arg(QString::fromStdString(m_journal->path()), QString::fromStdString(m_journal->failure()));
        AddLogLine(problem, {SystemEventId::LinesNotProtected, {}, {}});
        say(problem);
    }
    m_journalProtecting = protecting;
}

// The pane as one entry of the day's log file of now, or else of the file of the same name in the state folder.
ActivityLog::Archived ActivityLog::archivePane(const QDateTime& now)
{
    return archiveWithFallback(logEntryBytes(dateTimeText(now).toStdString(), m_pane.text().toStdString()),
                               dailyLogFilePath(m_application.directory(), now.date()), PendingArchive::Kind::Archive);
}

ActivityLog::Archived ActivityLog::archiveWithFallback(const std::string& entry, const QString& file,
                                                       PendingArchive::Kind kind)
{
    Archived archived{{}, file, {}, fileInDirectory(m_application.stateDirectory(), QFileInfo(file).fileName()), {}};
    const LogWriteResult written = writeEntry(entry, file, false, kind);
    if (written.written) {
        archived.where = file;
        return archived;
    }
    archived.failure = QString::fromStdString(written.failure);
    if (archived.fallback == file)
        return archived;
    makePrivateFolder(m_application.stateDirectory());
    const LogWriteResult rescued = writeEntry(entry, archived.fallback, false, kind);
    if (rescued.written)
        archived.where = archived.fallback;
    else
        archived.fallbackFailure = QString::fromStdString(rescued.failure);
    return archived;
}

LogWriteResult ActivityLog::writeEntry(const std::string& entry, const QString& file, bool overwrite,
                                       PendingArchive::Kind kind)
{
    if (!m_files)
        m_files = std::make_unique<TextFileService>();
    LogJournal* const journal = m_journal && !m_journal->keepsRecord() ? m_journal.get() : nullptr;
    return appendLogEntry(*m_files, file.toStdString(), entry, overwrite, journal, kind);
}

void ActivityLog::sayRecovered(const std::string& entry, const Archived& archived)
{
    const std::string pane = paneOfEntry(entry);
    const int count = lineCount(pane);
    if (count == 0)
        return;
    const std::string newest = pane.substr(0, pane.find(kLineEnd));
    const QString time = fromAnsi(newest).section(QLatin1String(": "), 0, 0);
    const QString what =
        count == 1 ? QStringLiteral("1 line of the last run, from %1, was not archived when it ended").arg(time)
                   : QStringLiteral("%1 lines of the last run, the newest from %2, were not archived when it ended")
                         .arg(QString::number(count), time);
    QString line = QLatin1String(": ") + what;
    if (!archived.where.isEmpty()) {
        line += (count == 1 ? QLatin1String("; it is now in ") : QLatin1String("; they are now in ")) + archived.where +
                QLatin1Char('.');
        if (isCutShort(newest))
            line += QLatin1String(" The newest was cut short as it was written, and is marked so.");
        AddLogLine(line, {SystemEventId::LinesRecovered, {}, {{"LINES", std::to_string(count)}}});
        return;
    }
    // Nowhere to put them now: they come back to the pane, which the next archive takes, and the journal holds
    // them as the pane does.
    m_pane.prependText(fromAnsi(pane));
    m_journal->rewrite(pane);
    line += QStringLiteral(", and cannot be now (%1: %2; %3: %4); they are back in the pane below.")
                .arg(archived.file, archived.failure, archived.fallback, archived.fallbackFailure);
    AddLogLine(line, {SystemEventId::LinesRecovered, {}, {{"LINES", std::to_string(count)}}});
    say(line);
}
