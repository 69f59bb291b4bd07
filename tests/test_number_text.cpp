// Reading and printing numbers without the C library's locale-dependent
// functions: the grammar by example, then each function against its C library
// counterpart run under the "C" locale on many generated inputs.

#include "form/number_text.h"
#include "tests/support/locale_scope.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace meravel {
namespace {

using test_support::ThreadCLocale;

constexpr double kInf = std::numeric_limits<double>::infinity();

// Equal bit for bit: tells 0.0 from -0.0 and needs no tolerance.
::testing::AssertionResult SameDouble(double actual, double expected)
{
    if (std::bit_cast<std::uint64_t>(actual) == std::bit_cast<std::uint64_t>(expected))
        return ::testing::AssertionSuccess();
    char text[128];
    std::snprintf(text, sizeof text, "got %.17g (%a), expected %.17g (%a)", actual, actual, expected, expected);
    return ::testing::AssertionFailure() << text;
}

// The text with control and non-ASCII bytes escaped, shortened when long.
std::string Printable(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < 200; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte < 0x7f) {
            out += static_cast<char>(byte);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        }
    }
    if (text.size() > 200)
        out += "... (" + std::to_string(text.size()) + " bytes)";
    return '"' + out + '"';
}

struct ParseCase
{
    const char *name;
    std::string text;
    double expected;
};

const std::vector<ParseCase> &ParseCases()
{
    static const std::vector<ParseCase> cases = {
        {"whole number", "37", 37.0},
        {"decimal point", "36.5", 36.5},
        {"decimal comma", "36,5", 36.5},
        {"decimal comma 25,5", "25,5", 25.5},
        {"comma without integer part", ",5", 0.5},
        {"exponent", "4.5e1", 45.0},
        {"capital exponent", "1E2", 100.0},
        {"exponent without digits", "3e", 3.0},
        {"exponent sign without digits", "3e+", 3.0},
        {"exponent followed by a letter", "3e-x", 3.0},
        {"d is no exponent letter", "2d1", 2.0},
        {"D is no exponent letter", "2D1", 2.0},
        {"trailing point", "5.", 5.0},
        {"leading point", ".5", 0.5},
        {"point alone", ".", 0.0},
        {"sign point exponent", "+.e5", 0.0},
        {"signed exponent then junk", "-1.5e+2x", -150.0},
        {"every white space", " \t\n\v\f\r37", 37.0},
        {"plus sign", "+5", 5.0},
        {"two signs", "--5", 0.0},
        {"mixed signs", "+-5", 0.0},
        {"sign alone", "-", 0.0},
        {"space after sign", "- 5", 0.0},
        {"hexadecimal", "0x19", 0.0},
        {"capital hexadecimal", "0X19", 0.0},
        {"infinity word", "inf", 0.0},
        {"long infinity word", "infinity", 0.0},
        {"signed infinity word", "-inf", 0.0},
        {"nan word", "nan", 0.0},
        {"overflow", "1e999", kInf},
        {"negative overflow", "-1e999", -kInf},
        {"underflow", "1e-400", 0.0},
        {"negative underflow", "-1e-400", -0.0},
        {"negative zero", "-0", -0.0},
        {"negative zero with fraction", "-0.000", -0.0},
        {"letters after number", "37abc", 37.0},
        {"several commas", "1,2,3", 1.2},
        {"several points", "1.2.3", 1.2},
        {"comma then point", "1,2.3", 1.2},
        {"letters before number", "ab37", 0.0},
        {"empty", "", 0.0},
        {"spaces only", "   ", 0.0},
        {"space inside number", "3 7", 3.0},
        {"largest double", "1.7976931348623157e308", DBL_MAX},
        {"rounds up to infinity", "1.7976931348623159e308", kInf},
        {"smallest subnormal", "4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
        {"just above half the smallest subnormal", "2.4703282292062328e-324",
            std::numeric_limits<double>::denorm_min()},
        {"just below half the smallest subnormal", "2.4703282292062327e-324", 0.0},
        {"subnormal", "1e-320", 1e-320},
        {"tie rounds to even", "9007199254740993", 9007199254740992.0},
        {"digit far beyond the tie", "9007199254740993.00000000000000000000001", 9007199254740994.0},
        {"thirty digits", "123456789012345678901234567890", 123456789012345678901234567890.0},
        {"leading zeros", std::string(1000, '0') + "37", 37.0},
        {"hundreds of digits", "1" + std::string(308, '0'), 1e308},
        {"too many digits", "1" + std::string(400, '0'), kInf},
        {"fraction zeros then exponent", "0." + std::string(400, '0') + "1e400", 0.1},
        {"exponent with leading zeros", "1e" + std::string(999, '0') + "5", 1e5},
        {"exponent of a thousand digits", "1e" + std::string(1000, '9'), kInf},
        {"negative exponent of a thousand digits", "1e-" + std::string(1000, '9'), 0.0},
        {"small mantissa with huge exponent", "0.0000001e" + std::string(1000, '9'), kInf},
        {"zero with huge exponent", "0e" + std::string(1000, '9'), 0.0},
        {"megabyte of fraction digits", "0." + std::string(1 << 20, '3'), 1.0 / 3.0},
        {"megabyte of digits scaled back", "1" + std::string(999999, '0') + "e-999999", 1.0},
        {"megabyte of spaces", std::string(1 << 20, ' ') + "37", 37.0},
        {"embedded nul after number",
            std::string("36.5\0"
                        "9",
                6),
            36.5},
        {"embedded nul before number",
            std::string("\0"
                        "37",
                3),
            0.0},
        {"arabic-indic digits", "\xd9\xa3\xd9\xa7", 0.0},
        {"no-break space before",
            "\xc2\xa0"
            "37",
            0.0},
        {"no-break space after", "37\xc2\xa0", 37.0},
        {"fullwidth digits", "\xef\xbc\x93\xef\xbc\x97", 0.0},
    };
    return cases;
}

TEST(ParseDecimal, Grammar)
{
    for (const ParseCase &row : ParseCases()) {
        SCOPED_TRACE(std::string(row.name) + ": " + Printable(row.text));
        EXPECT_TRUE(SameDouble(ParseDecimal(row.text), row.expected));
    }
}

// The forms in which the calculator deliberately reads differently from
// strtod: hexadecimal, the words inf, infinity and nan, and ',' as separator.
bool StrtodDiffersByDesign(const std::string &text)
{
    if (text.find(',') != std::string::npos)
        return true;
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string::npos)
        return false;
    if (text[i] == '+' || text[i] == '-')
        ++i;
    const auto startsWith = [&](const char *word) {
        const std::size_t length = std::strlen(word);
        if (text.size() - i < length)
            return false;
        for (std::size_t k = 0; k < length; ++k) {
            const char c = text[i + k];
            const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            if (lower != word[k])
                return false;
        }
        return true;
    };
    return startsWith("0x") || startsWith("inf") || startsWith("nan");
}

class TextGenerator
{
public:
    explicit TextGenerator(std::uint32_t seed)
        : m_random(seed)
    {
    }

    // Anything from the characters a number is made of, and some that are not.
    std::string Soup()
    {
        static const char kAlphabet[] = "0123456789012345678901234567890123456789..eE+-+- \t\nabxXinfINFnayY,";
        std::string text;
        const int length = Between(0, 14);
        for (int i = 0; i < length; ++i)
            text += kAlphabet[Between(0, sizeof kAlphabet - 2)];
        return text;
    }

    // A well-formed number with mantissas of up to hundreds of digits and
    // exponents around the ends of the double range, maybe with junk around.
    std::string Shaped()
    {
        std::string text;
        if (Chance(4))
            text += std::string(Between(1, 3), " \t\n"[Between(0, 2)]);
        if (Chance(3))
            text += "+-"[Between(0, 1)];
        const int longDigits = Chance(10) ? Between(20, 800) : 0;
        if (Chance(4))
            text += std::string(Between(1, 40), '0');
        text += Digits(Chance(5) ? 0 : Between(1, 20) + longDigits);
        if (Chance(2)) {
            text += '.';
            if (Chance(3))
                text += std::string(Between(1, 340), '0');
            text += Digits(Between(0, 25));
        }
        if (Chance(2)) {
            text += "eE"[Between(0, 1)];
            static const int kExponentCentres[] = {0, 22, 300, 308, 309, -300, -307, -308, -320, -324, -330, -400};
            int exponent = kExponentCentres[Between(0, 11)] + Between(-6, 6);
            if (Chance(3))
                exponent -= longDigits;
            if (exponent < 0)
                text += '-';
            else if (Chance(2))
                text += '+';
            if (Chance(5))
                text += std::string(Between(1, 30), '0');
            text += std::to_string(std::abs(exponent));
        }
        if (Chance(4))
            text += "x .e-5"[Between(0, 5)];
        return text;
    }

    // Exact or nearly exact decimal renderings of the midpoint between two
    // neighbouring doubles, where rounding is hardest.
    std::string NearTie()
    {
        const double value = RandomFinite();
        const double next = std::nextafter(value, value < 0 ? -kInf : kInf);
        const long double middle = (static_cast<long double>(value) + static_cast<long double>(next)) / 2.0L;
        const int digits = Chance(2) ? Between(15, 40) : 800;
        std::vector<char> buffer(1200);
        std::snprintf(buffer.data(), buffer.size(), "%.*Le", digits, middle);
        return buffer.data();
    }

    double RandomFinite()
    {
        for (;;) {
            const double value = std::bit_cast<double>((static_cast<std::uint64_t>(m_random()) << 32) | m_random());
            if (std::isfinite(value))
                return value;
        }
    }

    int Between(int lower, int upper) { return std::uniform_int_distribution<int>(lower, upper)(m_random); }
    bool Chance(int oneIn) { return Between(1, oneIn) == 1; }

private:
    std::string Digits(int count)
    {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += static_cast<char>('0' + Between(0, 9));
        return text;
    }

    std::mt19937 m_random;
};

TEST(ParseDecimal, ReadsAsStrtodInCLocale)
{
    ThreadCLocale cLocale;
    ASSERT_TRUE(cLocale.IsValid());
    TextGenerator generator(20240611);
    int compared = 0;
    int failures = 0;
    for (int i = 0; i < 200000 && failures < 20; ++i) {
        std::string text;
        switch (i % 4) {
        case 0:
        case 1:
            text = generator.Soup();
            break;
        case 2:
            text = generator.Shaped();
            break;
        default:
            text = generator.NearTie();
            break;
        }
        if (StrtodDiffersByDesign(text))
            continue;
        ++compared;
        const double expected = strtod_l(text.c_str(), nullptr, cLocale.Get());
        const auto result = SameDouble(ParseDecimal(text), expected);
        if (!result) {
            ++failures;
            ADD_FAILURE() << Printable(text) << ": " << result.message();
        }
    }
    EXPECT_GT(compared, 150000);
}

// snprintf's rendering under the "C" locale, the reference FormatFixed follows.
std::string PrintfFixed(double value, int width, int precision)
{
    ThreadCLocale cLocale;
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%*.*f", width, precision, value);
    return buffer;
}

struct FormatCase
{
    double value;
    int width;
    int precision;
    const char *expected;
};

const FormatCase kFormatCases[] = {
    {5.22, 2, 0, " 5"},
    {-5.22, 2, 0, "-5"},
    {5.5, 2, 0, " 6"},
    {4.5, 2, 0, " 4"}, // exact tie: to even
    {2.5, 2, 0, " 2"},
    {3.5, 2, 0, " 4"},
    {249.5, 2, 0, "250"},
    {249.49, 2, 0, "249"},
    {1407.72, 2, 0, "1408"},
    {0.125, 2, 2, "0.12"},
    {0.375, 2, 2, "0.38"},
    {0.005, 2, 2, "0.01"}, // stored a little above 0.005
    {0.015, 2, 2, "0.01"}, // stored a little below 0.015
    {1.005, 2, 2, "1.00"}, // stored a little below 1.005
    {0.0710369, 2, 2, "0.07"},
    {4.1952641, 2, 2, "4.20"},
    {0.0, 2, 2, "0.00"},
    {-0.0, 2, 0, "-0"},
    {-0.001, 2, 2, "-0.00"},
    {123.456, 8, 2, "  123.46"},
    {1e22, 2, 0, "10000000000000000000000"},
};

TEST(FormatFixed, Examples)
{
    for (const FormatCase &row : kFormatCases) {
        SCOPED_TRACE(::testing::Message() << row.value << " width " << row.width << " precision " << row.precision);
        EXPECT_EQ(FormatFixed(row.value, row.width, row.precision), row.expected);
    }
}

TEST(FormatFixed, PrintsAsSnprintfInCLocale)
{
    TextGenerator generator(19990401);
    std::vector<double> values = {0.0, -0.0, 0.125, 0.375, 0.5, 1.5, 2.5, 3.5, -2.5, 249.5, 250.5, 1e308, -1e308,
        DBL_MAX, -DBL_MAX, DBL_MIN, std::numeric_limits<double>::denorm_min(), 1e-320, 0.005, 0.015, 0.025, 1.005, 1e22,
        1e23, 9007199254740993.0, kInf, -kInf};
    // Near the ties of both precisions: k + 0.5 and k/100 + 0.005, and their
    // neighbours.
    for (int k = 0; k < 2000; ++k) {
        for (const double tie : {k + 0.5, k / 100.0 + 0.005}) {
            values.push_back(tie);
            values.push_back(std::nextafter(tie, 0.0));
            values.push_back(std::nextafter(tie, kInf));
            values.push_back(-tie);
        }
    }
    for (int i = 0; i < 50000; ++i) {
        values.push_back(generator.RandomFinite());
        // Magnitudes the form actually prints: percentages and odds.
        values.push_back(generator.Between(0, 1 << 30) / 1024.0);
    }

    struct Layout
    {
        int width;
        int precision;
    };
    static const Layout kLayouts[] = {{2, 0}, {2, 2}, {0, 0}, {8, 1}, {1, 17}};

    int failures = 0;
    for (const Layout &layout : kLayouts) {
        for (const double value : values) {
            const std::string expected = PrintfFixed(value, layout.width, layout.precision);
            const std::string actual = FormatFixed(value, layout.width, layout.precision);
            if (actual != expected && ++failures <= 20) {
                ADD_FAILURE() << "%" << layout.width << "." << layout.precision << "f of " << std::hexfloat << value
                              << ": got \"" << actual << "\", expected \"" << expected << '"';
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

} // namespace
} // namespace meravel
