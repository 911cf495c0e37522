// The design view's side of the properties window: what it lists for the selection; its
// writes are the model's, after which the view is built again to show them.
#include "app/CNavoraDlgDesign.h"

#include <algorithm>
#include <filesystem>

#include "app/DesignWindows.h"
#include "tools/DiskFiles.h"
#include "tools/Walk.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

constexpr UINT kPropertiesItem = 1;

} // namespace

void CNavoraDlgDesign::OpenProperties() {
    if (!properties_) {
        properties_ = std::make_unique<DesignProperties>(
            Handle(), session_.path.substr(0, session_.path.find_last_of(L"\\/")),
            [this](const Property& property, const std::wstring& value) {
                Show(session_.model.SetProperty(property.part, property.name, value, store_));
            });
    }
    RECT menu;
    GetWindowRect(Handle(), &menu);
    properties_->PlaceBeside(menu);
    FillProperties(); // before it shows: never seen empty
    ShowWindow(properties_->Handle(), SW_SHOWNOACTIVATE);
}

void CNavoraDlgDesign::ContextMenu(POINT p) {
    const HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kPropertiesItem, L"&Properties\tF4");
    ClientToScreen(Handle(), &p);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, p.x, p.y, 0, Handle(), nullptr));
    DestroyMenu(menu);
    if (chosen == kPropertiesItem) {
        OpenProperties();
    }
}

void CNavoraDlgDesign::RefreshProperties() {
    if (properties_ && IsWindowVisible(properties_->Handle())) {
        session_.propertiesScroll = properties_->Scrolled();
        FillProperties();
    }
}

void CNavoraDlgDesign::FillProperties() {
    // The same selection keeps its place in the list: a write does not scroll it away.
    const int scroll =
        session_.model.Selection() == session_.propertiesFor ? session_.propertiesScroll : 0;
    session_.propertiesFor = session_.model.Selection();
    const TButton* control = Selected();
    const std::optional<ControlRef> ref = RefOf(control);
    std::unique_ptr<xmlTree> tree;
    try {
        tree = ParseConfigBytes(session_.viewBytes);
    } catch (...) {
        return; // the view shows bytes it could read: never here
    }
    if (!ref) {
        // Nothing selected: the menu's own element, as designers show the form's.
        properties_->Show(std::wstring(kMenuPart), MenuProperties(*tree), L"", L"", scroll);
        return;
    }
    const auto marked = std::find_if(findings_.begin(), findings_.end(), [&](const auto& finding) {
        return finding.first == control->Handle();
    });
    std::wstring chain;
    DiskFiles files(std::filesystem::current_path());
    for (const ControlWalk& walk : WalkMenu(*tree, tree->Text(), {}, files)) {
        if (walk.page == ref->page + 1 && walk.control == static_cast<int>(ref->index) + 1) {
            chain = DecodeUtf8(WalkText({walk}));
        }
    }
    properties_->Show(L"\"" + TextOf(control->Handle()) + L"\"", ControlProperties(*tree, *ref),
                      marked != findings_.end() ? marked->second : L"", chain, scroll);
}

void CNavoraDlgDesign::BuildAgain(const std::string& bytes) {
    CancelDrag();
    session_.nextBuild = bytes;
    // Owned windows go before the window's own end: what shows is noted now.
    session_.propertiesOpen = properties_ && IsWindowVisible(properties_->Handle());
    EndWithOk();
}
