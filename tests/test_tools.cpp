// The three tools' core: the age at the expected date of delivery, the record
// summary and the risk curve, with its colours and its window's place. Ages
// are reckoned from birthdays written out by hand and days counted with
// std::chrono; the curve's positions with std::log; the odds from the
// published figures (1/214 at 37 years by Cuckle); contrasts with std::pow,
// for palettes as the installed Qt styles give them.

#include "form/delivery_age.h"
#include "form/plot_colours.h"
#include "form/record_summary.h"
#include "form/risk_curve.h"
#include "form/window_placement.h"
#include "risk/term_risk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

namespace meravel {
namespace {

constexpr const char *kAdvice = "Le risque peut justifier l'amniocentèse";
constexpr const char *kRange = "L'âge à la date prévue d'accouchement doit être compris entre 10 et 60 ans.";

std::chrono::sys_days Days(const CalendarDate &d)
{
    return std::chrono::year_month_day{std::chrono::year{d.year}, std::chrono::month(d.month), std::chrono::day(d.day)};
}

// --- The age at a date ---

struct AgeRow
{
    const char *name;
    CalendarDate birth, date;
    int years;               // whole years, counted by hand
    CalendarDate last, next; // the birthdays around `date`, by hand
};

const AgeRow kAges[] = {
    {"ordinary", {1988, 3, 15}, {2025, 7, 1}, 37, {2025, 3, 15}, {2026, 3, 15}},
    {"day before birthday", {1988, 3, 15}, {2025, 3, 14}, 36, {2024, 3, 15}, {2025, 3, 15}},
    {"on birthday", {1988, 3, 15}, {2025, 3, 15}, 37, {2025, 3, 15}, {2026, 3, 15}},
    {"year with 29 February", {1990, 1, 10}, {2024, 3, 1}, 34, {2024, 1, 10}, {2025, 1, 10}},
    {"29 Feb born, common year, day before", {1992, 2, 29}, {2023, 2, 27}, 30, {2022, 2, 28}, {2023, 2, 28}},
    {"29 Feb born, common year, 28 Feb", {1992, 2, 29}, {2023, 2, 28}, 31, {2023, 2, 28}, {2024, 2, 29}},
    {"29 Feb born, leap year, 28 Feb", {1992, 2, 29}, {2024, 2, 28}, 31, {2023, 2, 28}, {2024, 2, 29}},
    {"29 Feb born, leap year, 29 Feb", {1992, 2, 29}, {2024, 2, 29}, 32, {2024, 2, 29}, {2025, 2, 28}},
    {"29 Feb born, 1900 is common", {1896, 2, 29}, {1900, 2, 28}, 4, {1900, 2, 28}, {1901, 2, 28}},
    {"29 Feb born, first year", {2000, 2, 29}, {2000, 12, 31}, 0, {2000, 2, 29}, {2001, 2, 28}},
    {"same day", {2000, 6, 1}, {2000, 6, 1}, 0, {2000, 6, 1}, {2001, 6, 1}},
};

TEST(DeliveryAge, AgeAtDate)
{
    for (const AgeRow &row : kAges) {
        SCOPED_TRACE(row.name);
        const double days = (Days(row.date) - Days(row.last)).count();
        const double yearLength = (Days(row.next) - Days(row.last)).count();
        const auto age = AgeAtDate(row.birth, row.date);
        ASSERT_TRUE(age.has_value());
        EXPECT_DOUBLE_EQ(*age, row.years + days / yearLength);
    }
}

TEST(DeliveryAge, NoAge)
{
    const CalendarDate birth{1990, 5, 20};
    const CalendarDate dates[] = {{1990, 5, 19}, {1989, 12, 31}, {2023, 2, 29}, {2024, 4, 31}, {2024, 13, 1}};
    for (const CalendarDate &date : dates)
        EXPECT_FALSE(AgeAtDate(birth, date).has_value()) << date.year << '-' << date.month << '-' << date.day;
    EXPECT_FALSE(AgeAtDate({2023, 2, 29}, {2024, 1, 1}).has_value());
}

TEST(DeliveryAge, IsValidDate)
{
    const struct
    {
        CalendarDate date;
        bool valid;
    } rows[] = {
        {{2024, 2, 29}, true},
        {{2000, 2, 29}, true},
        {{2023, 2, 29}, false},
        {{1900, 2, 29}, false},
        {{2024, 4, 30}, true},
        {{2024, 4, 31}, false},
        {{2024, 12, 31}, true},
        {{2024, 0, 10}, false},
        {{2024, 13, 1}, false},
        {{2024, 1, 0}, false},
        {{1, 1, 1}, true},
        {{0, 12, 31}, false},
        {{9999, 12, 31}, true},
        {{10000, 1, 1}, false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(IsValidDate(row.date), row.valid) << row.date.year << '-' << row.date.month << '-' << row.date.day;
}

TEST(DeliveryAge, Check)
{
    const struct
    {
        CalendarDate birth, delivery;
        bool accepted;
        const char *ageText;
        const char *message;
    } rows[] = {
        // 182 days of 365 after the 36th birthday: 36.4986.
        {{1990, 1, 1}, {2026, 7, 2}, true, "36.50", ""},
        // 364 days of 365 after the 36th: 36.9973.
        {{1988, 3, 15}, {2025, 3, 14}, true, "37.00", ""},
        {{1992, 2, 29}, {2023, 2, 28}, true, "31.00", ""},
        {{2010, 5, 20}, {2020, 5, 20}, true, "10.00", ""},
        {{2010, 5, 20}, {2020, 5, 19}, false, "", kRange},
        {{1960, 5, 20}, {2020, 5, 20}, true, "60.00", ""},
        {{1960, 5, 20}, {2020, 5, 21}, false, "", kRange},
        {{2000, 6, 1}, {2000, 6, 1}, false, "", kRange},
        {{1990, 1, 1}, {1989, 12, 31}, false, "", "La date prévue d'accouchement précède la date de naissance."},
        {{2023, 2, 29}, {2024, 1, 1}, false, "", "Date invalide."},
        {{1990, 1, 1}, {2026, 4, 31}, false, "", "Date invalide."},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.ageText + std::string(" ") + row.message);
        const DeliveryAgeCheck check = CheckDeliveryAge(row.birth, row.delivery, row.delivery);
        EXPECT_EQ(check.accepted, row.accepted);
        EXPECT_EQ(check.ageText, row.ageText);
        EXPECT_EQ(check.message, row.message);
    }
}

// A screen reader hears each message once, when it appears or changes.
TEST(DeliveryAge, NewMessages)
{
    const CalendarDate birth{1990, 1, 1}, today{2026, 7, 2};
    const DeliveryAgeCheck fine = CheckDeliveryAge(birth, {2026, 7, 2}, today);
    const DeliveryAgeCheck before = CheckDeliveryAge(birth, {1989, 12, 31}, today);
    const DeliveryAgeCheck late = CheckDeliveryAge(birth, {2027, 9, 1}, today);
    EXPECT_EQ(NewMessages(fine, before), before.message + " " + before.term.message);
    EXPECT_EQ(NewMessages(before, before), "");
    EXPECT_EQ(NewMessages(before, fine), "");
    EXPECT_EQ(NewMessages(fine, late), late.term.message);
    EXPECT_FALSE(late.term.message.empty());
}

// --- The record summary ---

TEST(RecordSummary, Lines)
{
    const struct
    {
        const char *name;
        FormTexts shown; // age, term, gestational, weeks, advice
        const char *formula;
        const char *expected;
    } rows[] = {
        {"with advice", {"37", "0.47% soit 1/214", "1/150", "12", kAdvice}, "Cuckle",
            "Âge maternel 37 ans · Cuckle · à terme 0.47% soit 1/214 · à 12 SA 1/150 · "
            "Le risque peut justifier l'amniocentèse · Meravel 1.0.0.1"},
        {"without advice, trimmed", {" 25 ", "0.07% soit 1/1408", "1/309", " 2", ""}, "Cuckle",
            "Âge maternel 25 ans · Cuckle · à terme 0.07% soit 1/1408 · à 2 SA 1/309 · Meravel 1.0.0.1"},
        {"odds padded", {"45", "4.20% soit 1/24", "1/ 5", "2", kAdvice}, "Cuckle",
            "Âge maternel 45 ans · Cuckle · à terme 4.20% soit 1/24 · à 2 SA 1/ 5 · "
            "Le risque peut justifier l'amniocentèse · Meravel 1.0.0.1"},
        {"Erreur hides the rest", {"50", "Erreur", "1/150", "12", kAdvice}, "Hecht",
            "Âge maternel 50 ans · Hecht · à terme : Erreur (âge hors de 18 à 45 ans) · Meravel 1.0.0.1"},
        {"empty age", {"  ", "Erreur", "", "12", ""}, "Cuckle",
            "Âge maternel non saisi · Cuckle · à terme : Erreur (âge hors de 18 à 45 ans) · Meravel 1.0.0.1"},
        {"weeks out of range", {"30", "0.11% soit 1/926", "", "50", ""}, "Hecht",
            "Âge maternel 30 ans · Hecht · à terme 0.11% soit 1/926 · "
            "à 50 SA : pas de chiffre (semaines hors de 1 à 42) · Meravel 1.0.0.1"},
        {"no weeks", {"37", "0.47% soit 1/214", "", "", kAdvice}, "Cuckle",
            "Âge maternel 37 ans · Cuckle · à terme 0.47% soit 1/214 · semaines non saisies · "
            "Le risque peut justifier l'amniocentèse · Meravel 1.0.0.1"},
        // The age as read, not as typed; as typed only beside Erreur.
        {"exponent read", {"3.325e1", "0.20% soit 1/509", "", "", ""}, "Cuckle",
            "Âge maternel 33.25 ans · Cuckle · à terme 0.20% soit 1/509 · semaines non saisies · Meravel 1.0.0.1"},
        {"decimals kept, zeros dropped", {"035.520", "0.33% soit 1/308", "", "", ""}, "Cuckle",
            "Âge maternel 35.52 ans · Cuckle · à terme 0.33% soit 1/308 · semaines non saisies · Meravel 1.0.0.1"},
        {"digits beyond a double's", {"36.1000000000000000001", "0.37% soit 1/268", "", "", ""}, "Cuckle",
            "Âge maternel 36.1 ans · Cuckle · à terme 0.37% soit 1/268 · semaines non saisies · Meravel 1.0.0.1"},
        {"Erreur quotes the typing", {"4.6e1", "Erreur", "", "", ""}, "Cuckle",
            "Âge maternel 4.6e1 ans · Cuckle · à terme : Erreur (âge hors de 18 à 45 ans) · Meravel 1.0.0.1"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(RecordSummary(row.shown, row.formula, "Meravel 1.0.0.1"), row.expected) << row.name;
}

// --- The risk curve ---

constexpr PlotRect kArea{40, 10, 580, 370};

double ExpectedX(double age)
{
    return kArea.left + (age - 18) / 27 * (kArea.right - kArea.left);
}

double ExpectedY(double odds)
{
    return kArea.top + std::log(odds / 10) / std::log(200.0) * (kArea.bottom - kArea.top);
}

TEST(RiskCurve, Axes)
{
    const RiskCurvePlot plot = MakeRiskCurvePlot(kArea, RiskFormula::Cuckle, "37");
    const std::vector<std::string> ageLabels{"18", "20", "25", "30", "35", "40", "45"};
    ASSERT_EQ(plot.ageTicks.size(), ageLabels.size());
    for (size_t i = 0; i < ageLabels.size(); ++i) {
        EXPECT_EQ(plot.ageTicks[i].label, ageLabels[i]);
        EXPECT_NEAR(plot.ageTicks[i].position, ExpectedX(std::stoi(ageLabels[i])), 1e-9);
    }
    EXPECT_DOUBLE_EQ(plot.ageTicks.front().position, kArea.left);
    EXPECT_DOUBLE_EQ(plot.ageTicks.back().position, kArea.right);

    const std::vector<int> odds{10, 20, 50, 100, 200, 500, 1000, 2000};
    ASSERT_EQ(plot.oddsTicks.size(), odds.size());
    for (size_t i = 0; i < odds.size(); ++i) {
        EXPECT_EQ(plot.oddsTicks[i].label, "1/" + std::to_string(odds[i]));
        EXPECT_NEAR(plot.oddsTicks[i].position, ExpectedY(odds[i]), 1e-9);
    }
    EXPECT_DOUBLE_EQ(plot.oddsTicks.front().position, kArea.top);
    EXPECT_DOUBLE_EQ(plot.oddsTicks.back().position, kArea.bottom);

    // 1/250 lies log(25) / log(200) of the way down: 0.6075 of 360 pixels.
    EXPECT_NEAR(plot.referenceY, ExpectedY(250), 1e-9);
    EXPECT_NEAR(plot.referenceY, 10 + 360 * 0.60752, 0.01);
    EXPECT_EQ(plot.referenceLabel, "1/250");
    EXPECT_EQ(plot.ageAxisTitle, "Âge de la mère (ans)");
    EXPECT_EQ(plot.oddsAxisTitle, "Risque à terme (1/N)");
}

TEST(RiskCurve, Series)
{
    const RiskCurvePlot plot = MakeRiskCurvePlot(kArea, RiskFormula::Hecht, "");
    EXPECT_EQ(plot.selected, RiskFormula::Hecht);
    // Ends against the published figures: Cuckle 1/1667 at 18 and 1/24 at 45,
    // Hecht 1/1348 at 25 (point 28) and 1/29 at 45.
    const struct
    {
        const std::vector<PlotPoint> *series;
        size_t index;
        double age;
        double odds;
        RiskFormula formula;
    } rows[] = {
        {&plot.cuckle, 0, 18, 1667, RiskFormula::Cuckle},
        {&plot.cuckle, 108, 45, 24, RiskFormula::Cuckle},
        {&plot.hecht, 28, 25, 1348, RiskFormula::Hecht},
        {&plot.hecht, 108, 45, 29, RiskFormula::Hecht},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.odds);
        ASSERT_EQ(row.series->size(), 109u);
        const PlotPoint point = (*row.series)[row.index];
        EXPECT_NEAR(point.x, ExpectedX(row.age), 1e-9);
        // Same as the figure's odds, and that odds rounds to the published one.
        EXPECT_NEAR(point.y, ExpectedY(OddsFromProbability(TermProbability(row.age, row.formula))), 1e-9);
        EXPECT_GT(point.y, ExpectedY(row.odds - 0.5));
        EXPECT_LT(point.y, ExpectedY(row.odds + 0.5));
    }
    EXPECT_DOUBLE_EQ(plot.cuckle.front().x, kArea.left);
    EXPECT_DOUBLE_EQ(plot.hecht.back().x, kArea.right);
}

TEST(RiskCurve, Mark)
{
    const struct
    {
        const char *ageText;
        RiskFormula formula;
        double age;  // 0: no mark
        double odds; // published
        const char *label;
    } rows[] = {
        {"37", RiskFormula::Cuckle, 37, 214, "37 ans : 1/214"},
        {" 25 ", RiskFormula::Cuckle, 25, 1408, "25 ans : 1/1408"},
        {"36,5", RiskFormula::Cuckle, 36.5, 242, "36,5 ans : 1/242"},
        {"37", RiskFormula::Hecht, 37, 239, "37 ans : 1/239"},
        {"", RiskFormula::Cuckle, 0, 0, ""},
        {"17.99", RiskFormula::Cuckle, 0, 0, ""},
        {"45.01", RiskFormula::Hecht, 0, 0, ""},
        {"nan", RiskFormula::Cuckle, 0, 0, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.ageText);
        const RiskCurvePlot plot = MakeRiskCurvePlot(kArea, row.formula, row.ageText);
        EXPECT_EQ(plot.markLabel, row.label);
        ASSERT_EQ(plot.mark.has_value(), row.age != 0);
        if (row.age != 0) {
            EXPECT_NEAR(plot.mark->x, ExpectedX(row.age), 1e-9);
            EXPECT_GT(plot.mark->y, ExpectedY(row.odds - 0.5));
            EXPECT_LT(plot.mark->y, ExpectedY(row.odds + 0.5));
        }
    }
}

TEST(RiskCurve, Description)
{
    const std::string common = "Courbe du risque à terme selon l'âge de la mère, de 18 à 45 ans, formules Cuckle et "
                               "Hecht (";
    const std::string scale = " en gras), échelle logarithmique de 1/10 à 1/2000, seuil 1/250 ; ";
    EXPECT_EQ(MakeRiskCurvePlot(kArea, RiskFormula::Cuckle, "37").description,
        common + "Cuckle" + scale + "repère : 37 ans, 1/214");
    EXPECT_EQ(RiskCurveDescription({RiskFormula::Hecht, "12"}), common + "Hecht" + scale + "aucun âge valide saisi");
    // The caption under the plot says the same in short, as shown.
    EXPECT_EQ(RiskCurveCaption({RiskFormula::Cuckle, " 3.7e1"}), "Cuckle, 3.7e1 ans : 1/214 ; seuil 1/250");
    EXPECT_EQ(RiskCurveCaption({RiskFormula::Hecht, "12"}), "Hecht, aucun âge valide saisi ; seuil 1/250");
}

// A font whose characters are all `average` (plus `wider`) wide, a pixel more
// in bold.
struct FixedMeasure : TextMeasure
{
    FixedMeasure(double line, double average, bool rotate, double wider = 0)
        : line(line)
        , average(average)
        , width(average + wider)
        , rotate(rotate)
    {
    }
    double Width(const std::string &text, bool bold) const override
    {
        return static_cast<double>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }))
            * (width + (bold ? 1 : 0));
    }
    double LineHeight() const override { return line; }
    double AverageCharWidth() const override { return average; }
    bool CanRotate() const override { return rotate; }
    double line, average, width;
    bool rotate;
};

bool Overlap(const PlotRect &a, const PlotRect &b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const PlotRect &a, const PlotRect &within)
{
    return a.left >= within.left && a.top >= within.top && a.right <= within.right && a.bottom <= within.bottom;
}

TEST(RiskCurve, EveryTextFitsClearOfTheOthers)
{
    // The window's 300 by 180 dialog units: 75 average characters by 22.5
    // lines. Windows' MS Sans Serif 8, a Linux desktop's font, a large one.
    for (const FixedMeasure &font :
        {FixedMeasure(13, 6, false), FixedMeasure(17, 7, true), FixedMeasure(32, 14, true)}) {
        const PlotRect bounds{0, 0, 75 * font.average, 22.5 * font.line};
        for (const char *age : {"18", "37", "45", ""}) {
            SCOPED_TRACE(std::to_string(font.line) + " " + age);
            std::vector<TextItem> texts;
            for (const PlotItem &item : LayOutRiskCurve(bounds, font, {RiskFormula::Cuckle, age}).items)
                if (const auto *text = std::get_if<TextItem>(&item))
                    texts.push_back(*text);
            for (size_t i = 0; i < texts.size(); ++i) {
                const TextItem &text = texts[i];
                const double along = text.upright ? text.box.bottom - text.box.top : text.box.right - text.box.left;
                const double across = text.upright ? text.box.right - text.box.left : text.box.bottom - text.box.top;
                EXPECT_TRUE(Inside(text.box, bounds)) << text.text;
                EXPECT_GE(along, font.Width(text.text, text.bold)) << text.text;
                EXPECT_GE(across, font.line) << text.text;
                EXPECT_EQ(text.upright, text.text == "Risque à terme (1/N)" && font.rotate);
                for (size_t j = 0; j < i; ++j)
                    EXPECT_FALSE(Overlap(text.box, texts[j].box)) << text.text << " over " << texts[j].text;
            }
        }
    }
}

TEST(RiskCurve, MarginsFollowTheMeasuredLabels)
{
    // Labels 2 pixels wider per character: the plot's left edge moves by the
    // widest odds label's 12 ("1/2000"), its right edge by half of "45"'s 4.
    // A title that cannot turn goes above the plot.
    const auto area = [](const FixedMeasure &font) {
        return LayOutRiskCurve({0, 0, 600, 400}, font, {RiskFormula::Hecht, "30"}).plot.area;
    };
    const PlotRect narrow = area({16, 7, true}), wide = area({16, 7, true, 2}), flat = area({16, 7, false});
    EXPECT_NEAR(wide.left - narrow.left, 12, 1);
    EXPECT_NEAR(narrow.right - wide.right, 2, 1);
    EXPECT_LT(flat.left, narrow.left - 16);
    EXPECT_GT(flat.top, narrow.top + 16);
}

TEST(RiskCurve, MarkLabelBesideItsDot)
{
    const struct
    {
        PlotRect bounds;
        RiskFormula formula;
        const char *age;
        bool left, above; // the corner
    } rows[] = {
        {{0, 0, 450, 293}, RiskFormula::Cuckle, "37", true, true},
        {{0, 0, 450, 293}, RiskFormula::Hecht, "45", true, true},   // against the top right corner
        {{0, 0, 450, 293}, RiskFormula::Cuckle, "18", false, true}, // against the bottom left corner
        {{0, 0, 450, 293}, RiskFormula::Hecht, "18", false, true},
        {{0, 0, 300, 293}, RiskFormula::Cuckle, "28", false, false}, // too near the left edge
        {{0, 0, 200, 240}, RiskFormula::Cuckle, "43", true, false},  // above on the left: on the legend
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.age);
        const RiskCurvePicture picture
            = LayOutRiskCurve(row.bounds, FixedMeasure(13, 6, false), {row.formula, row.age});
        ASSERT_TRUE(picture.markLabel.has_value());
        const PlotRect &box = *picture.markLabel;
        const PlotPoint dot = *picture.plot.mark;
        EXPECT_TRUE(Inside(box, picture.plot.area));
        EXPECT_FALSE(Overlap(box, picture.legend));
        EXPECT_FALSE(Overlap(box, picture.referenceLabel));
        // Its nearest corner 7 pixels from the dot both ways (radius 4, gap 3).
        EXPECT_NEAR(row.left ? dot.x - box.right : box.left - dot.x, 7, 0.5);
        EXPECT_NEAR(row.above ? dot.y - box.bottom : box.top - dot.y, 7, 0.5);
    }
}

// --- The colours ---

TEST(PlotColours, LinesStandOutInEveryTheme)
{
    const auto contrast = [](const Rgb &a, const Rgb &b) { // WCAG 2's, written out separately
        const auto luminance = [](const Rgb &c) {
            const auto linear
                = [](int v) { return v <= 10 ? v / 255.0 / 12.92 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
            return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue) + 0.05;
        };
        return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
    };
    const struct
    {
        const char *name;
        DesktopColours desktop; // window, window text, base, text, highlight
        bool accentKept;        // the highlight already stands out by 3:1
    } rows[] = {
        {"Fusion", {{239, 239, 239}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {48, 140, 198}}, true},
        {"Adwaita", {{246, 245, 244}, {46, 52, 54}, {255, 255, 255}, {46, 52, 54}, {53, 132, 228}}, true},
        {"Adwaita-Dark", {{53, 53, 53}, {238, 238, 236}, {45, 45, 45}, {238, 238, 236}, {21, 83, 158}}, false},
        {"Adwaita-HighContrastInverse", {{48, 48, 48}, {243, 243, 241}, {45, 45, 45}, {243, 243, 241}, {15, 59, 113}},
            false},
        {"Windows, high contrast black", {{0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {255, 255, 255}, {0, 0, 128}}, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const PlotColours colours(row.desktop);
        const Rgb &base = row.desktop.base, &accent = row.desktop.highlight;
        EXPECT_NEAR(ContrastRatio(accent, base), contrast(accent, base), 1e-9);
        EXPECT_EQ(contrast(accent, base) >= 3, row.accentKept);
        for (ColourRole role : {ColourRole::Reference, ColourRole::Mark, ColourRole::OtherCurve})
            EXPECT_GE(contrast(colours[role], base), 3.0);
        // The accent itself, or mixed with the text, short of the text.
        EXPECT_EQ(colours[ColourRole::Reference] == accent, row.accentKept);
        EXPECT_NE(colours[ColourRole::Reference], row.desktop.text);
    }
}

// --- The curve window's place ---

TEST(WindowPlacement, BesideTheCalculator)
{
    const struct
    {
        const char *name;
        ScreenRect owner;
        int width, height;
        ScreenRect work;
        BesidePlacement expected;
    } rows[] = {
        {"on the right", {700, 300, 1100, 600}, 500, 400, {0, 0, 1920, 1040},
            {{700, 300, 1100, 600}, {1100, 300, 1600, 700}}},
        {"no room on the right", {1500, 300, 1900, 600}, 500, 400, {0, 0, 1920, 1040},
            {{1500, 300, 1900, 600}, {1000, 300, 1500, 700}}},
        {"below the top panel", {10, 0, 410, 300}, 500, 400, {0, 30, 1920, 1080},
            {{10, 0, 410, 300}, {410, 30, 910, 430}}},
        {"second screen", {1930, 40, 2330, 340}, 500, 400, {1920, 0, 3840, 1080},
            {{1930, 40, 2330, 340}, {2330, 40, 2830, 440}}},
        // 1024 by 768: no place beside it is free, but the two fit one below
        // the other with the calculator 84 pixels higher (218 to the side).
        {"the calculator moves", {312, 200, 712, 500}, 530, 352, {0, 0, 1024, 768},
            {{312, 116, 712, 416}, {312, 416, 842, 768}}},
        {"moves as little, the first", {300, 0, 700, 700}, 400, 700, {0, 0, 1000, 700},
            {{200, 0, 600, 700}, {600, 0, 1000, 700}}},
        // 900 pixels side by side, 700 one below the other: the right and the
        // left hide 300 by 300, below and above 400 by 250.
        {"too small for both", {200, 150, 600, 450}, 500, 400, {0, 0, 800, 600},
            {{200, 150, 600, 450}, {300, 150, 800, 550}}},
        {"larger than the screen", {100, 100, 400, 300}, 1000, 700, {0, 0, 800, 600},
            {{100, 100, 400, 300}, {0, 0, 1000, 700}}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(PlaceBeside(row.owner, row.width, row.height, row.work), row.expected) << row.name;
}

} // namespace
} // namespace meravel
