#include "win32/accessible.h"

#include "win32/dialog.h"

// IID_IAccessible comes from oleacc.dll's import library, as a function's
// thunk rather than the identifier: __uuidof(IAccessible) is the identifier.
#include <oleacc.h>

#include <utility>

namespace meravel {

namespace {

constexpr UINT_PTR kSubclassId = 0x4D52; // "MR"
// The window property that holds a control's facts.
constexpr const wchar_t *kFactsProperty = L"Meravel.AccessibleFacts";

// The proxy's answers, but for those the facts give.
class AnnotatedAccessible final : public IAccessible
{
public:
    AnnotatedAccessible(HWND control, IAccessible *proxy)
        : m_hControl(control)
        , m_proxy(proxy)
    {
    }

    AnnotatedAccessible(const AnnotatedAccessible &) = delete;
    AnnotatedAccessible &operator=(const AnnotatedAccessible &) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        // The children's enumeration and the rest: the proxy's.
        return m_proxy->QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nReferences; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_nReferences;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override { return m_proxy->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override
    {
        return m_proxy->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, LCID locale, DISPID *ids) override
    {
        return m_proxy->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS *parameters,
        VARIANT *result, EXCEPINFO *exception, UINT *argument) override
    {
        return m_proxy->Invoke(id, iid, locale, flags, parameters, result, exception, argument);
    }

    // IAccessible: the facts for the control itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        const AccessibleFacts *facts = Facts(child);
        if (facts && !facts->name.empty())
            return Answer(facts->name, name);
        return m_proxy->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        const AccessibleFacts *facts = Facts(child);
        if (facts && facts->value)
            return Answer(facts->value(), value);
        return m_proxy->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        const AccessibleFacts *facts = Facts(child);
        if (facts && facts->describe)
            return Answer(facts->describe(), description);
        if (facts && !facts->description.empty())
            return Answer(facts->description, description);
        return m_proxy->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        const AccessibleFacts *facts = Facts(child);
        if (!facts || facts->role == 0)
            return m_proxy->get_accRole(child, role);
        if (!role)
            return E_POINTER;
        role->vt = VT_I4;
        role->lVal = facts->role;
        return S_OK;
    }

    // Everything else: the proxy's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override { return m_proxy->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long *count) override { return m_proxy->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        return m_proxy->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        return m_proxy->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override
    {
        return m_proxy->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, long *topic) override
    {
        return m_proxy->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        return m_proxy->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *child) override { return m_proxy->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *children) override
    {
        return m_proxy->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        return m_proxy->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return m_proxy->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(long *left, long *top, long *width, long *height, VARIANT child) override
    {
        return m_proxy->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT *end) override
    {
        return m_proxy->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT *child) override
    {
        return m_proxy->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return m_proxy->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return m_proxy->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return m_proxy->put_accValue(child, value);
    }

private:
    ~AnnotatedAccessible() { m_proxy->Release(); }

    // The facts, for the control itself and while it lives.
    const AccessibleFacts *Facts(const VARIANT &child) const
    {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF)
            return nullptr;
        return AccessibleFactsOf(m_hControl);
    }

    static HRESULT Answer(const std::wstring &text, BSTR *out)
    {
        if (!out)
            return E_POINTER;
        *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *out || text.empty() ? S_OK : E_OUTOFMEMORY;
    }

    HWND m_hControl;
    IAccessible *m_proxy;
    ULONG m_nReferences = 1;
};

LRESULT CALLBACK AnnotatedProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        IAccessible *proxy = nullptr;
        if (SUCCEEDED(::CreateStdAccessibleObject(
                control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void **>(&proxy)))) {
            auto *annotated = new AnnotatedAccessible(control, proxy);
            const LRESULT result = ::LresultFromObject(__uuidof(IAccessible), wParam, annotated);
            annotated->Release();
            return result;
        }
    }
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(control, &AnnotatedProc, kSubclassId);
        delete static_cast<AccessibleFacts *>(::RemovePropW(control, kFactsProperty));
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

} // namespace

AccessibleFacts FactsOf(const res::DialogControl &control)
{
    AccessibleFacts facts;
    facts.name = ToUtf16(control.accessibleName);
    facts.description = ToUtf16(control.description);
    // The role Windows' proxy gives each kind of control (Wine's gives most
    // a client area's), but a group box, which is a grouping and not a
    // button, and the drawn plot, a chart.
    switch (control.kind) {
    case res::ControlKind::Edit:
        facts.role = ROLE_SYSTEM_TEXT;
        break;
    case res::ControlKind::ComboBox:
        facts.role = ROLE_SYSTEM_COMBOBOX;
        break;
    case res::ControlKind::UpDown:
        facts.role = ROLE_SYSTEM_SPINBUTTON;
        break;
    case res::ControlKind::GroupBox:
        facts.role = ROLE_SYSTEM_GROUPING;
        break;
    case res::ControlKind::Label:
        facts.role = ROLE_SYSTEM_STATICTEXT;
        break;
    case res::ControlKind::Icon:
        facts.role = ROLE_SYSTEM_GRAPHIC;
        break;
    case res::ControlKind::Rule:
        facts.role = ROLE_SYSTEM_SEPARATOR;
        break;
    case res::ControlKind::PushButton:
        facts.role = ROLE_SYSTEM_PUSHBUTTON;
        break;
    case res::ControlKind::DatePicker:
        facts.role = ROLE_SYSTEM_DROPLIST;
        break;
    case res::ControlKind::Plot:
        facts.role = ROLE_SYSTEM_CHART;
        break;
    }
    return facts;
}

void SetAccessibleFacts(HWND control, AccessibleFacts facts)
{
    if (AccessibleFacts *current = AccessibleFactsOf(control)) {
        *current = std::move(facts);
        return;
    }
    auto *kept = new AccessibleFacts(std::move(facts));
    if (!::SetWindowSubclass(control, &AnnotatedProc, kSubclassId, 0) || !::SetPropW(control, kFactsProperty, kept)) {
        ::RemoveWindowSubclass(control, &AnnotatedProc, kSubclassId);
        delete kept;
    }
}

void SetAccessibleFacts(HWND dialog, const res::DialogTemplate &table)
{
    // The dialog manager makes the controls in template order, labels and
    // group boxes (which share one identifier) included.
    HWND window = ::GetWindow(dialog, GW_CHILD);
    for (const res::DialogControl &control : table.controls) {
        if (!window || (::GetDlgCtrlID(window) & 0xFFFF) != (control.id & 0xFFFF))
            return;
        SetAccessibleFacts(window, FactsOf(control));
        window = ::GetWindow(window, GW_HWNDNEXT);
    }
}

AccessibleFacts *AccessibleFactsOf(HWND control)
{
    return static_cast<AccessibleFacts *>(::GetPropW(control, kFactsProperty));
}

HWND CreateAnnouncer(HWND window)
{
    HWND announcer = ::CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    AccessibleFacts alert;
    alert.role = ROLE_SYSTEM_ALERT;
    SetAccessibleFacts(announcer, std::move(alert));
    return announcer;
}

void Announce(HWND announcer, const std::string &text)
{
    ::SetWindowTextW(announcer, ToUtf16(text).c_str());
    ::NotifyWinEvent(EVENT_SYSTEM_ALERT, announcer, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace meravel
