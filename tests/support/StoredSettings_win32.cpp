#include "support/StoredSettings.h"

#include <windows.h>

namespace StoredSettings {
namespace {

QString applicationKey(const QString& application)
{
    return QStringLiteral("Software\\VB and VBA Program Settings\\") + application;
}

std::wstring wide(const QString& text)
{
    return text.toStdWString();
}

} // namespace

QString location(const QString& application)
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + applicationKey(application) + QStringLiteral("\\Settings");
}

QMap<QString, QString> values(const QString& application)
{
    QMap<QString, QString> result;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(applicationKey(application) + QStringLiteral("\\Settings")).c_str(), 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return result;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        wchar_t data[1024];
        DWORD dataSize = sizeof(data);
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) !=
            ERROR_SUCCESS)
            break;
        if (type != REG_SZ)
            continue;
        const auto characters = static_cast<qsizetype>(dataSize / sizeof(wchar_t));
        QString value = QString::fromWCharArray(data, characters);
        while (value.endsWith(QChar(0)))
            value.chop(1);
        result.insert(QString::fromWCharArray(name, static_cast<qsizetype>(nameLength)), value);
    }
    RegCloseKey(key);
    return result;
}

bool store(const QString& application, const QMap<QString, QString>& values)
{
    clear(application);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, wide(applicationKey(application) + QStringLiteral("\\Settings")).c_str(), 0,
                        nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool stored = true;
    for (auto value = values.cbegin(); value != values.cend(); ++value) {
        const std::wstring data = wide(value.value());
        stored = stored &&
                 RegSetValueExW(key, wide(value.key()).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return stored;
}

void clear(const QString& application)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, wide(applicationKey(application)).c_str());
}

} // namespace StoredSettings
