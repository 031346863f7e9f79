#include "log/DateTimeText.h"

namespace {

// Drops the time-zone fields ('t' runs outside quoted text) from a QLocale time format, with the blank
// that separated them from the rest.
QString withoutTimeZone(const QString& format)
{
    QString result;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result += c;
    }
    return result.simplified();
}

} // namespace

QString dateTimeText(const QDateTime& moment, const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') +
                           withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    QString text = locale.toString(moment, format);
    for (QChar& c : text) {
        if (c.unicode() > 0x7f && c.isDigit())
            c = QChar(u'0' + c.digitValue());
    }
    return text;
}
