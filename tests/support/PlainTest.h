#pragma once

// A small test harness for the Qt-free suites: the same sources build natively and with the Windows
// cross compiler (where no Qt is available) and run under Wine. A suite is a list of PLAIN_TEST cases;
// PLAIN_TEST_MAIN runs them all and closes with "N passed, N failed".

#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace plaintest {

struct Case
{
    const char* name;
    void (*body)();
};

inline std::vector<Case>& registry()
{
    static std::vector<Case> cases;
    return cases;
}

struct Failure
{
    std::string message;
};

struct Registrar
{
    Registrar(const char* name, void (*body)()) { registry().push_back({name, body}); }
};

template <typename A, typename B>
void checkEqual(const A& actual, const B& expected, const char* actualText, const char* expectedText, const char* file,
                int line)
{
    if (actual == expected)
        return;
    std::ostringstream out;
    out << file << ':' << line << ": " << actualText << " == " << expectedText << "\n    actual:   " << actual
        << "\n    expected: " << expected;
    throw Failure{out.str()};
}

inline void check(bool condition, const char* text, const char* file, int line)
{
    if (condition)
        return;
    std::ostringstream out;
    out << file << ':' << line << ": " << text;
    throw Failure{out.str()};
}

// Runs body for every row of a table; a failure names the row (each row has a `name`).
template <typename Row, std::size_t N, typename Body>
void forEachRow(const Row (&rows)[N], Body body)
{
    for (const Row& row : rows) {
        try {
            body(row);
        } catch (Failure& failure) {
            failure.message = std::string(row.name) + ": " + failure.message;
            throw;
        }
    }
}

// Polls condition until it holds or the deadline passes; returns whether it held. For waiting on real
// events (a started program's output), never as a fixed pause.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds deadline = std::chrono::seconds(10))
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

inline int runAll()
{
    int passed = 0;
    int failed = 0;
    for (const Case& c : registry()) {
        try {
            c.body();
            ++passed;
            std::printf("PASS   %s\n", c.name);
        } catch (const Failure& f) {
            ++failed;
            std::printf("FAIL!  %s\n  %s\n", c.name, f.message.c_str());
        } catch (const std::exception& e) {
            ++failed;
            std::printf("FAIL!  %s\n  exception: %s\n", c.name, e.what());
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}

} // namespace plaintest

#define PLAIN_TEST(name)                                                                                               \
    static void name();                                                                                                \
    static const plaintest::Registrar name##_registrar(#name, &name);                                                  \
    static void name()

#define PLAIN_CHECK(condition) plaintest::check((condition), #condition, __FILE__, __LINE__)
#define PLAIN_CHECK_EQUAL(actual, expected)                                                                            \
    plaintest::checkEqual((actual), (expected), #actual, #expected, __FILE__, __LINE__)

#define PLAIN_TEST_MAIN()                                                                                              \
    int main()                                                                                                         \
    {                                                                                                                  \
        return plaintest::runAll();                                                                                    \
    }
