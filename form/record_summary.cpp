#include "form/record_summary.h"

#include "form/number_text.h"

#include <string_view>
#include <vector>

namespace meravel {

namespace {

constexpr const char *kSeparator = " · ";     // U+00B7 between spaces
constexpr const char *kInvalidAge = "Erreur"; // what the term field shows for an age outside 18 to 45

} // namespace

std::string RecordSummary(const FormTexts &shown, const std::string &formulaName, const std::string &program)
{
    std::vector<std::string> parts;

    const std::string age = Trimmed(shown.m_strAge);
    parts.push_back(age.empty() ? "Âge maternel non saisi" : "Âge maternel " + age + " ans");
    parts.push_back(formulaName);

    if (shown.m_strTermRisk == kInvalidAge) {
        // The form shows no other figure and no advice for such an age.
        parts.push_back("à terme : Erreur (âge hors de 18 à 45 ans)");
    } else {
        parts.push_back("à terme " + shown.m_strTermRisk);
        const std::string weeks = Trimmed(shown.m_strWeeks);
        if (!shown.m_strGestRisk.empty())
            parts.push_back("à " + weeks + " SA " + shown.m_strGestRisk);
        else if (weeks.empty())
            parts.push_back("semaines non saisies");
        else
            parts.push_back("à " + weeks + " SA : pas de chiffre (semaines hors de 1 à 42)");
        if (!shown.m_strAdvice.empty())
            parts.push_back(shown.m_strAdvice);
    }

    parts.push_back(program);

    std::string summary;
    for (const std::string &part : parts) {
        if (!summary.empty())
            summary += kSeparator;
        summary += part;
    }
    return summary;
}

} // namespace meravel
