#include "log/DateTimeText.h"

namespace {

bool isOpeningAroundZone(QChar c)
{
    return c.isSpace() || c == u'(' || c == u'[';
}

bool isClosingAroundZone(QChar c)
{
    return c == u')' || c == u']';
}

// Drops the time-zone field (a run of 't' outside quoted text) from a QLocale time format, together with the
// blanks and brackets that only set it apart: "H:mm:ss (t)" must not leave "()" behind, and "t HH:mm:ss"
// must not leave a leading blank. Literal text such as the seconds mark of "ss秒 t" stays.
QString withoutTimeZone(const QString& format)
{
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't') {
            result += c;
            continue;
        }
        while (!result.isEmpty() && isOpeningAroundZone(result.back()))
            result.chop(1);
        while (i + 1 < format.size() && format.at(i + 1) == u't')
            ++i;
        while (i + 1 < format.size() && isClosingAroundZone(format.at(i + 1)))
            ++i;
        while (result.isEmpty() && i + 1 < format.size() && format.at(i + 1).isSpace())
            ++i;
    }
    return result;
}

// Replaces every decimal digit of another script by its ASCII digit. Walks code points, not UTF-16 units:
// some scripts (Chakma, for one) have their digits beyond the Basic Multilingual Plane.
QString withAsciiDigits(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t codePoint = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (codePoint > 0x7f && QChar::isDigit(codePoint))
            result += QChar(u'0' + QChar::digitValue(codePoint));
        else
            result += QChar::fromUcs4(codePoint);
    }
    return result;
}

} // namespace

QString dateTimeText(const QDateTime& moment, const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') +
                           withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return withAsciiDigits(locale.toString(moment, format));
}
