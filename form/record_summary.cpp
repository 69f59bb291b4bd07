#include "form/record_summary.h"

#include "form/number_text.h"

#include <string_view>
#include <vector>

namespace meravel {

namespace {

constexpr const char *kSeparator = " · ";     // U+00B7 between spaces
constexpr const char *kInvalidAge = "Erreur"; // what the term field shows for an age outside 18 to 45

// The gestational figure for the weeks typed, or why there is none.
std::string WeeksPart(const FormTexts &shown)
{
    const std::string weeks = Trimmed(shown.m_strWeeks);
    if (!shown.m_strGestRisk.empty())
        return "à " + weeks + " SA " + shown.m_strGestRisk;
    if (weeks.empty())
        return "semaines non saisies";
    return "à " + weeks + " SA : pas de chiffre (semaines hors de 1 à 42)";
}

// The figures as the window shows them, in its order: the term figure, the
// gestational one and the advice when shown; beside "Erreur", no other
// figure and no advice, only `error`.
void AddFigures(std::vector<std::string> &parts, const FormTexts &shown, const char *error)
{
    if (shown.m_strTermRisk == kInvalidAge) {
        parts.push_back(error);
        return;
    }
    parts.push_back("à terme " + shown.m_strTermRisk);
    parts.push_back(WeeksPart(shown));
    if (!shown.m_strAdvice.empty())
        parts.push_back(shown.m_strAdvice);
}

std::string Joined(const std::vector<std::string> &parts, const char *separator)
{
    std::string joined;
    for (const std::string &part : parts) {
        if (!joined.empty())
            joined += separator;
        joined += part;
    }
    return joined;
}

} // namespace

std::string RecordSummary(const FormTexts &shown, const std::string &formulaName, const std::string &program)
{
    std::vector<std::string> parts;

    const bool ageRead = shown.m_strTermRisk != kInvalidAge;
    const std::string age = ageRead ? ShortestDecimal(ParseDecimal(shown.m_strAge)) : Trimmed(shown.m_strAge);
    parts.push_back(age.empty() ? "Âge maternel non saisi" : "Âge maternel " + age + " ans");
    parts.push_back(formulaName);
    AddFigures(parts, shown, "à terme : Erreur (âge hors de 18 à 45 ans)");
    parts.push_back(program);
    return Joined(parts, kSeparator);
}

std::string SpokenFigures(const FormTexts &shown, bool termChanged, const std::string &chosenFormula)
{
    if (!termChanged)
        return WeeksPart(shown);
    std::vector<std::string> parts;
    AddFigures(parts, shown, "à terme : Erreur");
    const std::string figures = Joined(parts, ", ");
    return chosenFormula.empty() ? figures : chosenFormula + " : " + figures;
}

} // namespace meravel
