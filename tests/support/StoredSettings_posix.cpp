#include "support/StoredSettings.h"

#include <QDir>
#include <QFile>

namespace StoredSettings {

QString location(const QString& application)
{
    return QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(application + QStringLiteral(".conf"));
}

QMap<QString, QString> values(const QString& application)
{
    QFile file(location(application));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QMap<QString, QString> result;
    bool inSection = false;
    for (const QByteArray& rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inSection = line == QLatin1String("[Settings]");
        else if (inSection && line.contains(QLatin1Char('=')))
            result.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return result;
}

bool store(const QString& application, const QMap<QString, QString>& values)
{
    QByteArray text("[Settings]\n");
    for (auto value = values.cbegin(); value != values.cend(); ++value) {
        QString written = value.value();
        written.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        if (written != written.trimmed())
            written = QLatin1Char('"') + written + QLatin1Char('"');
        text += value.key().toUtf8() + '=' + written.toUtf8() + '\n';
    }
    QFile file(location(application));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

void clear(const QString& application)
{
    // Whatever an earlier case left in the store's place, a folder or a FIFO included.
    const QString path = location(application);
    if (!QFile::remove(path))
        QDir(path).removeRecursively();
}

} // namespace StoredSettings
