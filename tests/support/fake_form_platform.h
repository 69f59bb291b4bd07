#pragma once

// A window without a window: the fields are plain strings, the formula list a
// selected index and the weeks spin control an UpDownState, the same rule the
// real spin control follows. Shared by the unit tests and the benchmarks.

#include "form/risk_form.h"
#include "form/updown.h"

#include <string>
#include <string_view>
#include <vector>

namespace meravel::test_support {

class FakeFormPlatform : public FormPlatform
{
public:
    // The calls the form made, in order, when call recording is on.
    enum class Call { ReadFields, WriteFields, FormulaSelection, SelectFormula, WeeksPosition, SetUpWeeksSpin };

    // What the fields show; tests type into them directly.
    FormTexts m_fields;
    int m_nSelection = -1;
    UpDownState m_weeksSpin;

    bool m_bRecordCalls = false;
    std::vector<Call> m_calls;
    int m_nReads = 0;
    int m_nWrites = 0;

    void ReadFields(FormTexts &texts) override
    {
        Record(Call::ReadFields);
        ++m_nReads;
        texts = m_fields;
    }

    void WriteFields(const FormTexts &texts) override
    {
        Record(Call::WriteFields);
        ++m_nWrites;
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

    int WeeksPosition() override
    {
        Record(Call::WeeksPosition);
        return m_weeksSpin.GetPos(m_fields.m_strWeeks);
    }

    void SetUpWeeksSpin(int lower, int upper, int position) override
    {
        Record(Call::SetUpWeeksSpin);
        m_weeksSpin.SetRange(lower, upper);
        m_weeksSpin.SetPos(position);
        m_fields.m_strWeeks = m_weeksSpin.PosText();
    }

    // A click on one of the spin control's arrows: the position moves and the
    // weeks field shows it, as the real control does before notifying.
    void StepWeeks(int delta)
    {
        m_weeksSpin.Step(m_fields.m_strWeeks, delta);
        m_fields.m_strWeeks = m_weeksSpin.PosText();
    }

private:
    void Record(Call call)
    {
        if (m_bRecordCalls)
            m_calls.push_back(call);
    }
};

} // namespace meravel::test_support
