#pragma once

// Scope guards for the locale, so that no test leaves the process or the
// thread under regional settings another test did not ask for.

#include <clocale>
#include <locale.h>
#include <string>

namespace meravel::test_support {

// The calling thread uses the "C" locale until the guard goes out of scope,
// whatever the process locale is. Also hands out the locale object for the
// *_l functions.
class ThreadCLocale
{
public:
    ThreadCLocale()
        : m_locale(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0)))
        , m_previous(m_locale ? uselocale(m_locale) : static_cast<locale_t>(0))
    {
    }
    ~ThreadCLocale()
    {
        if (m_locale) {
            uselocale(m_previous);
            freelocale(m_locale);
        }
    }
    ThreadCLocale(const ThreadCLocale &) = delete;
    ThreadCLocale &operator=(const ThreadCLocale &) = delete;

    bool IsValid() const { return m_locale != static_cast<locale_t>(0); }
    locale_t Get() const { return m_locale; }

private:
    locale_t m_locale;
    locale_t m_previous;
};

// Sets the process locale (all categories) and puts the previous one back at
// the end of the scope. IsValid() is false when the locale is not installed;
// the process locale is then unchanged.
class ProcessLocale
{
public:
    explicit ProcessLocale(const char *name)
        : m_previous(std::setlocale(LC_ALL, nullptr))
        , m_bValid(std::setlocale(LC_ALL, name) != nullptr)
    {
    }
    ~ProcessLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    ProcessLocale(const ProcessLocale &) = delete;
    ProcessLocale &operator=(const ProcessLocale &) = delete;

    bool IsValid() const { return m_bValid; }

private:
    // Copied: the string setlocale returns is overwritten by the next call.
    std::string m_previous;
    bool m_bValid;
};

} // namespace meravel::test_support
