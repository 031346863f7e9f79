#pragma once

#include <QTest>

#include <string>

// A QCOMPARE of two std::string that differ shows both, escaped as Qt Test shows byte arrays.
namespace QTest {
template <>
inline char* toString(const std::string& text)
{
    return toString(QByteArray::fromStdString(text));
}
} // namespace QTest
