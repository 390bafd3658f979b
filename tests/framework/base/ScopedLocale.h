#pragma once
// Test support: the process locale for one scope, and the two locales the tests run under.
#include <gtest/gtest.h>

#include <clocale>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// Sets the whole process locale (LC_ALL) for the lifetime of the object, and restores the
// previous one when it ends.
class ScopedLocale {
public:
    explicit ScopedLocale(const std::string& name) : previous_(std::setlocale(LC_ALL, nullptr))
    {
        ok_ = std::setlocale(LC_ALL, name.c_str()) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool Ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};

// A locale and the decimal separator it writes numbers with.
struct LocaleCase {
    std::string name;
    std::string separator;
};

// The Russian locale under the first of its names that this C library knows: glibc's (made
// by the ru_locale_setup test and by scripts/setup), then those of the Windows runtimes.
inline std::string CommaLocaleName()
{
    const char* const names[] = {"ru_RU.UTF-8", "ru_RU.utf8", "Russian_Russia.1251", "ru-RU", "Russian"};
    for (const char* name : names)
        if (ScopedLocale(name).Ok()) return name;
    return names[0]; // a test that needs it then fails, naming it
}

inline const LocaleCase kCLocale{"C", "."};
inline const LocaleCase kCommaLocale{CommaLocaleName(), ","};

inline std::string PrintLocaleName(const LocaleCase& locale)
{
    std::string name;
    for (char c : locale.name) name += (c == '.' || c == '-') ? '_' : c;
    return name;
}

// A table's case under one of the two locales, for suites that run every case under both.
template <class Case>
struct InLocale {
    Case value;
    LocaleCase locale;
};

template <class Case>
void PrintTo(const InLocale<Case>& c, std::ostream* os)
{
    *os << testing::PrintToString(c.value) << " under " << c.locale.name;
}

template <class Case, std::size_t N>
std::vector<InLocale<Case>> InBothLocales(const Case (&cases)[N])
{
    std::vector<InLocale<Case>> both;
    for (const LocaleCase& locale : {kCLocale, kCommaLocale})
        for (const Case& c : cases) both.push_back({c, locale});
    return both;
}

// For TEST_P suites parameterised by LocaleCase: sets the locale or fails the test.
#define SET_TEST_LOCALE(localeCase)                                                                                    \
    ScopedLocale scopedLocale_((localeCase).name);                                                                     \
    ASSERT_TRUE(scopedLocale_.Ok()) << "locale " << (localeCase).name                                                  \
                                    << " is not available (the ru_locale_setup test or scripts/setup makes it)"
