#include "settings/UserSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// $XDG_CONFIG_HOME/<name>.conf, by default ~/.config/<name>.conf, read afresh at every use. Named here rather
// than left to QSettings' search: the system-wide folders of $XDG_CONFIG_DIRS are never read, since a value
// an administrator put there must not pose as the operator's own choice, nor hide that nothing is stored.
QString userSettingsPath(const QString& application)
{
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(folder))
        folder = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(folder + QLatin1Char('/') + application + QStringLiteral(".conf"));
}

// The ten values take a few hundred bytes; a store far larger than that is not one this program wrote, and
// is not read at all, so that a huge file cannot hold the start.
constexpr qint64 largestStore = 64 * 1024;

// Why the bytes of a store are no INI text that QSettings would read whole, or an empty text when they are.
// Saving the values again would rewrite such a file from the little QSettings made of it, and the rest would
// be lost. QSettings escapes every control character it writes, and a line of its own is a section, a
// key=value pair or a ';' comment; anything else it drops on the next save.
QString formatProblem(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7f)
            return QStringLiteral("it holds binary data, not text");
    }
    const QByteArray byteOrderMark("\xef\xbb\xbf");
    int number = 0;
    for (const QByteArray& line : (bytes.startsWith(byteOrderMark) ? bytes.mid(3) : bytes).split('\n')) {
        ++number;
        // Up to a comment, which may also end a line; a lone CR ends a line as well.
        const qsizetype comment = line.indexOf(';');
        for (const QByteArray& part : (comment < 0 ? line : line.left(comment)).split('\r')) {
            const QByteArray text = part.trimmed();
            if (!text.isEmpty() && !(text.startsWith('[') && text.contains(']')) && !text.contains('='))
                return QStringLiteral("line %1 is neither a [section], a key=value pair nor a ; comment").arg(number);
        }
    }
    return QString();
}

} // namespace

std::unique_ptr<QSettings> openUserSettings(const QString& application)
{
    // The INI format is what QSettings' native format is on POSIX systems.
    return std::make_unique<QSettings>(userSettingsPath(application), QSettings::IniFormat);
}

QString userSettingsReadProblem(const QString& application, QString* location)
{
    const QString path = userSettingsPath(application);
    if (location)
        *location = path;
    const QFileInfo store(path);
    if (!store.exists())
        return QString();
    if (!store.isFile())
        return QStringLiteral("it is not a regular file");
    // A read that fails once (a disk's passing I/O error) may work the next time; only one that keeps failing
    // makes the store one that cannot be read.
    QByteArray bytes;
    QString failure;
    for (int attempt = 0; attempt < 3; ++attempt) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            bytes = file.read(largestStore + 1);
            if (file.error() == QFileDevice::NoError) {
                failure.clear();
                break;
            }
        }
        failure = file.errorString();
    }
    if (!failure.isEmpty())
        return failure;
    if (bytes.size() > largestStore)
        return QStringLiteral("it holds %1 bytes, more than the %2 a settings file may hold")
            .arg(store.size())
            .arg(largestStore);
    const QString problem = formatProblem(bytes);
    if (!problem.isEmpty())
        return problem;
    // QSettings' own verdict as well, with every section parsed; it tells only on the first read of a file's
    // content in a process, which is why the bytes are looked at above.
    const std::unique_ptr<QSettings> settings = openUserSettings(application);
    const bool keysRead = !settings->allKeys().isEmpty();
    if (settings->status() == QSettings::FormatError)
        return QStringLiteral("it is not in the INI format");
    // QSettings reads the file once more, and keeps what it read for the rest of the process: a read of its own
    // that failed leaves it with no value at all, which must not pass for a store that holds none.
    if (!keysRead && bytes.contains('='))
        return QStringLiteral("its values could not be read");
    return QString();
}
