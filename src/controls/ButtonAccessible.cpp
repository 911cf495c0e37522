#include "controls/ButtonAccessible.h"

#include <oleacc.h>

#include <bit>
#include <cstddef>
#include <iterator>
#include <new>

#include "controls/MenuCheckBox.h"
#include "win/SystemLibrary.h"

// The object is laid out as COM lays out any object, a table of methods and the object's
// data, rather than as a class: a class's methods take their VARIANT arguments with its
// 8-byte alignment, and on x86 each method then copies each one first.
// Nothing here throws; the file is built without exception support.

namespace {

// Looked up at the first request, so that a menu nobody reads loads nothing more.
struct Accessibility {
    decltype(&CreateStdAccessibleObject) standard = nullptr;
    decltype(&LresultFromObject) lresult = nullptr;
    decltype(&SysAllocString) allocString = nullptr;
};

bool lookedUp = false;
Accessibility api;

template <typename Fn> void Find(Fn& fn, HMODULE module, const char* name) {
    fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(module == nullptr ? nullptr : GetProcAddress(module, name)));
}

bool LookUp() {
    if (!lookedUp) {
        lookedUp = true;
        // The object is served to the reader's process through COM on this thread, which
        // stays started until the menu ends, as for pictures.
        decltype(&CoInitializeEx) start = nullptr;
        Find(start, LoadSystemLibrary(L"ole32.dll"), "CoInitializeEx");
        if (start != nullptr) {
            start(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        }
        const HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
        Find(api.standard, oleacc, "CreateStdAccessibleObject");
        Find(api.lresult, oleacc, "LresultFromObject");
        Find(api.allocString, LoadSystemLibrary(L"oleaut32.dll"), "SysAllocString");
    }
    return api.standard != nullptr && api.lresult != nullptr && api.allocString != nullptr;
}

// A VARIANT as it is passed by value: the same bytes, aligned as plain words.
struct Child {
    VARTYPE vt;
    WORD reserved[3];
    LONG id;
    LONG rest[(sizeof(VARIANT) - 12) / sizeof(LONG)];
};
static_assert(sizeof(Child) == sizeof(VARIANT) && offsetof(VARIANT, lVal) == offsetof(Child, id));

// The system's own object for the window answers where the control is and what lies around it.
// The object holds the window, not the control, so that a reader that keeps it after the
// window has gone finds nothing rather than freed memory.
struct Accessible {
    const void* const* methods;
    ULONG references;
    HWND hwnd;
    IAccessible* standard;
};

// The control, while its window lives, when `child` names the object itself.
const TButton* Self(const Accessible* self, const Child& child) {
    return child.vt == VT_I4 && child.id == CHILDID_SELF
               ? static_cast<const TButton*>(Control::FromHandle(self->hwnd))
               : nullptr;
}

bool Checked(const TButton& control) {
    return control.GetKind() == ControlKind::CheckBox &&
           static_cast<const MenuCheckBox&>(control).IsChecked();
}

HRESULT Answer(const wchar_t* text, BSTR* out) {
    *out = api.allocString(text);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE QueryInterface(Accessible* self, REFIID iid, void** out) {
    if (iid == __uuidof(IAccessible) || iid == __uuidof(IDispatch) || iid == __uuidof(IUnknown)) {
        *out = self;
        ++self->references;
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE AddRef(Accessible* self) {
    return ++self->references;
}

ULONG STDMETHODCALLTYPE Release(Accessible* self) {
    const ULONG left = --self->references;
    if (left == 0) {
        self->standard->Release();
        delete self;
    }
    return left;
}

// Readers call the methods themselves, not through automation.
HRESULT STDMETHODCALLTYPE TypeInfoCount(Accessible*, UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeInfo(Accessible*, UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IdsOfNames(Accessible*, REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Invoke(Accessible*, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                 EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Parent(Accessible* self, IDispatch** parent) {
    return self->standard->get_accParent(parent);
}

// A control has no children, no value, description, help or keyboard shortcut (it takes no
// Alt+letter), and cannot be selected or renamed.
HRESULT STDMETHODCALLTYPE ChildCount(Accessible*, long* count) {
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ChildObject(Accessible*, Child, IDispatch** object) {
    *object = nullptr;
    return E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE NoText(Accessible*, Child, BSTR* text) {
    *text = nullptr;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE HelpTopic(Accessible*, BSTR* file, Child, long*) {
    *file = nullptr;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE Selection(Accessible*, VARIANT* children) {
    children->vt = VT_EMPTY;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE NotSupported(Accessible*, long, Child) {
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE Rename(Accessible*, Child, BSTR) {
    return DISP_E_MEMBERNOTFOUND;
}

// The caption, or the tooltip for a control whose caption shows no text.
HRESULT STDMETHODCALLTYPE Name(Accessible* self, Child child, BSTR* name) {
    const TButton* control = Self(self, child);
    if (control != nullptr && control->HasBlankCaption() && !control->GetTooltipText().empty()) {
        return Answer(control->GetTooltipText().c_str(), name);
    }
    return self->standard->get_accName(std::bit_cast<VARIANT>(child), name);
}

HRESULT STDMETHODCALLTYPE Role(Accessible* self, Child child, VARIANT* role) {
    const TButton* control = Self(self, child);
    if (control == nullptr) {
        return E_INVALIDARG;
    }
    role->vt = VT_I4;
    role->lVal = control->GetKind() == ControlKind::CheckBox ? ROLE_SYSTEM_CHECKBUTTON
                                                             : ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
}

// The keyboard's highlight stands for the focus, which stays with the menu's window.
HRESULT STDMETHODCALLTYPE State(Accessible* self, Child child, VARIANT* state) {
    const TButton* control = Self(self, child);
    if (control == nullptr) {
        return E_INVALIDARG;
    }
    state->vt = VT_I4;
    // A hidden control is skipped by Tab.
    state->lVal = (IsWindowVisible(self->hwnd) ? STATE_SYSTEM_FOCUSABLE : STATE_SYSTEM_INVISIBLE) |
                  (Checked(*control) ? STATE_SYSTEM_CHECKED : 0) |
                  (control->IsDisabled() ? STATE_SYSTEM_UNAVAILABLE : 0) |
                  (control->HasFocusMark() ? STATE_SYSTEM_FOCUSED : 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Focus(Accessible* self, VARIANT* child) {
    const TButton* control = static_cast<const TButton*>(Control::FromHandle(self->hwnd));
    child->vt = VT_EMPTY;
    if (control == nullptr || !control->HasFocusMark()) {
        return S_FALSE;
    }
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
}

// The words of Windows' own buttons and check boxes, in English: Windows gives no call for
// its translations.
HRESULT STDMETHODCALLTYPE DefaultAction(Accessible* self, Child child, BSTR* action) {
    const TButton* control = Self(self, child);
    if (control == nullptr) {
        return E_INVALIDARG;
    }
    return Answer(control->GetKind() != ControlKind::CheckBox ? L"Press"
                  : Checked(*control)                         ? L"Uncheck"
                                                              : L"Check",
                  action);
}

// Acts as a click: posted, so that the reader's call returns before a chain shows a box or
// waits for a program. A hidden control does nothing, as for the mouse and the keys.
HRESULT STDMETHODCALLTYPE DoDefaultAction(Accessible* self, Child child) {
    if (Self(self, child) == nullptr) {
        return E_INVALIDARG;
    }
    if (!IsWindowVisible(self->hwnd)) {
        return E_FAIL;
    }
    PostMessageW(self->hwnd, kDefaultAction, 0, 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Location(Accessible* self, long* left, long* top, long* width,
                                   long* height, Child child) {
    return self->standard->accLocation(left, top, width, height, std::bit_cast<VARIANT>(child));
}

HRESULT STDMETHODCALLTYPE Navigate(Accessible* self, long direction, Child start, VARIANT* end) {
    return self->standard->accNavigate(direction, std::bit_cast<VARIANT>(start), end);
}

HRESULT STDMETHODCALLTYPE HitTest(Accessible* self, long x, long y, VARIANT* child) {
    return self->standard->accHitTest(x, y, child);
}

// IUnknown, IDispatch and IAccessible in their order.
const void* const kMethods[] = {
    reinterpret_cast<const void*>(&QueryInterface), reinterpret_cast<const void*>(&AddRef),
    reinterpret_cast<const void*>(&Release),        reinterpret_cast<const void*>(&TypeInfoCount),
    reinterpret_cast<const void*>(&TypeInfo),       reinterpret_cast<const void*>(&IdsOfNames),
    reinterpret_cast<const void*>(&Invoke),         reinterpret_cast<const void*>(&Parent),
    reinterpret_cast<const void*>(&ChildCount),     reinterpret_cast<const void*>(&ChildObject),
    reinterpret_cast<const void*>(&Name),           reinterpret_cast<const void*>(&NoText),
    reinterpret_cast<const void*>(&NoText),         reinterpret_cast<const void*>(&Role),
    reinterpret_cast<const void*>(&State),          reinterpret_cast<const void*>(&NoText),
    reinterpret_cast<const void*>(&HelpTopic),      reinterpret_cast<const void*>(&NoText),
    reinterpret_cast<const void*>(&Focus),          reinterpret_cast<const void*>(&Selection),
    reinterpret_cast<const void*>(&DefaultAction),  reinterpret_cast<const void*>(&NotSupported),
    reinterpret_cast<const void*>(&Location),       reinterpret_cast<const void*>(&Navigate),
    reinterpret_cast<const void*>(&HitTest),        reinterpret_cast<const void*>(&DoDefaultAction),
    reinterpret_cast<const void*>(&Rename),         reinterpret_cast<const void*>(&Rename),
};
static_assert(std::size(kMethods) == 28);

} // namespace

LRESULT AnswerGetObject(HWND control, WPARAM flags, LPARAM objectId) {
    IAccessible* standard = nullptr;
    if (static_cast<DWORD>(objectId) != static_cast<DWORD>(OBJID_CLIENT) || !LookUp() ||
        FAILED(api.standard(control, OBJID_CLIENT, __uuidof(IAccessible),
                            reinterpret_cast<void**>(&standard)))) {
        return 0;
    }
    auto* object = new (std::nothrow) Accessible{kMethods, 1, control, standard};
    if (object == nullptr) {
        standard->Release();
        return 0;
    }
    const LRESULT result =
        api.lresult(__uuidof(IAccessible), flags, reinterpret_cast<IUnknown*>(object));
    Release(object);
    return result;
}
