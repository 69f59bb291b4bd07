#pragma once

// A window without a window: the fields are plain strings, the formula list a
// selected index, the spin control its range. Shared by the unit tests and
// the benchmarks. FakeCalculatorWindow adds what the calculator's commands
// ask of a window, and records it.

#include "form/calculator.h"
#include "form/risk_form.h"

#include <optional>
#include <string>
#include <vector>

namespace meravel::test_support {

class FakeFormPlatform : public FormPlatform
{
public:
    // The calls the form made, in order, when call recording is on.
    enum class Call { ReadFields, WriteFields, FormulaSelection, SelectFormula, SetUpWeeksSpin };

    // What the fields show; tests type into them directly.
    FormTexts m_fields;
    int m_nSelection = -1;
    int m_nSpinLower = 0, m_nSpinUpper = 0, m_nSpinPosition = 0;

    bool m_bRecordCalls = false;
    std::vector<Call> m_calls;

    void ReadFields(FormTexts &texts) override
    {
        Record(Call::ReadFields);
        texts = m_fields;
    }

    void WriteFields(const FormTexts &texts) override
    {
        Record(Call::WriteFields);
        m_fields = texts;
    }

    int FormulaSelection() override
    {
        Record(Call::FormulaSelection);
        return m_nSelection;
    }

    void SelectFormula(int index) override
    {
        Record(Call::SelectFormula);
        m_nSelection = index;
    }

    void SetUpWeeksSpin(int lower, int upper, int position) override
    {
        Record(Call::SetUpWeeksSpin);
        m_nSpinLower = lower;
        m_nSpinUpper = upper;
        m_nSpinPosition = position;
    }

private:
    void Record(Call call)
    {
        if (m_bRecordCalls)
            m_calls.push_back(call);
    }
};

// The calculator's window: what each command asked of it. The age and the
// weeks typed by the dates' tool reach the calculator as the fields' change
// notifications do.
class FakeCalculatorWindow : public FakeFormPlatform, public CalculatorWindow
{
public:
    Calculator m_calculator{*this, *this};

    int m_nEnded = 0;
    int m_nAboutBoxes = 0;
    int m_nBeeps = 0;
    int m_nCurves = 0;
    CalendarDate m_today{2026, 12, 9};
    std::vector<DeliveryAgeDates> m_deliveryOpenings;
    std::optional<DeliveryAgeCheck> m_deliveryAnswer; // what OK in the dates' window returns; nothing: Annuler
    bool m_bClipboardWorks = true;
    std::vector<std::string> m_copied;
    std::vector<std::string> m_announced;
    std::vector<std::string> m_statuses;

    void EndAccepted() override { ++m_nEnded; }
    void RunAboutBox() override { ++m_nAboutBoxes; }
    CalendarDate Today() override { return m_today; }
    std::optional<DeliveryAgeCheck> RunDeliveryAge(const DeliveryAgeDates &opening) override
    {
        m_deliveryOpenings.push_back(opening);
        return m_deliveryAnswer;
    }
    void TypeAge(const std::string &text) override
    {
        m_fields.m_strAge = text;
        m_calculator.OnChangeAge();
    }
    void TypeWeeks(const std::string &text) override
    {
        m_fields.m_strWeeks = text;
        m_calculator.OnChangeWeeks();
    }
    bool CopyToClipboard(const std::string &text) override
    {
        if (m_bClipboardWorks)
            m_copied.push_back(text);
        return m_bClipboardWorks;
    }
    void Beep() override { ++m_nBeeps; }
    void Announce(const std::string &text) override { m_announced.push_back(text); }
    void ShowStatus(const std::string &text) override { m_statuses.push_back(text); }
    void ShowRiskCurve() override { ++m_nCurves; }
};

} // namespace meravel::test_support
