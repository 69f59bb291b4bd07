#pragma once

// The summary for the patient record: everything the calculator shows, as
// plain text on one line, to paste into a patient's file.

#include "form/risk_form.h"

#include <string>

namespace meravel {

// From what the window shows (the form's texts), the name of the selected
// formula and the program's name and full version ("Meravel 1.0.0.1"), e.g.
//
//   Âge maternel 37 ans · Cuckle · à terme 0.47% soit 1/214 · à 12 SA 1/150 ·
//   Le risque peut justifier l'amniocentèse · Meravel 1.0.0.1
//
// (one line). The age is given as the figures read it, in its shortest
// decimal ("37" for "3.7e1" or "37ans", "36.52" for "36.52"), so the record
// holds the age the figures are for; when the term field shows "Erreur" the
// age was not one the formulas take, so the summary quotes what was typed,
// says so and gives no figure. The weeks are given as typed; when there is
// no gestational figure it gives none for them; the advice only when shown.
std::string RecordSummary(const FormTexts &shown, const std::string &formulaName, const std::string &program);

// What a screen reader is told when the figures change, as the window shows
// them: after a change of the age or the formula, the term figure, the
// gestational one and the advice ("à terme 0.47% soit 1/214, à 2 SA 1/47,
// Le risque peut justifier l'amniocentèse"), led by the formula when it was
// just chosen ("Hecht : à terme ..."); after a change of the weeks, the
// gestational figure alone ("à 20 SA 1/181").
std::string SpokenFigures(const FormTexts &shown, bool termChanged, const std::string &chosenFormula);

} // namespace meravel
