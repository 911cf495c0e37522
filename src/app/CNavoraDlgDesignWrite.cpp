// The design view's writes: a finished drag or caption edit into the file, and undo and redo.
#include "app/CNavoraDlgDesign.h"

#include "app/DesignWindows.h"

void CNavoraDlgDesign::Finish(TButton* control, const RECT& before) {
    const RECT after = RectOf(control);
    if (EqualRect(&before, &after)) {
        return;
    }
    const std::wstring caption = TextOf(control->Handle());
    // In the file's pixels: the menu scales them to the screen's DPI with "dpiscale".
    const auto file = [&](LONG pixels) { return std::to_wstring(MulDiv(pixels, kFileDpi, Dpi())); };
    std::vector<AttributeValue> values;
    if (after.left != before.left) {
        values.push_back({L"ButtonPosition", L"left", file(after.left)});
    }
    if (after.top != before.top) {
        values.push_back({L"ButtonPosition", L"top", file(after.top)});
    }
    if (after.right - after.left != before.right - before.left) {
        values.push_back({L"ButtonLayout", L"width", file(after.right - after.left)});
    }
    if (after.bottom - after.top != before.bottom - before.top) {
        values.push_back({L"ButtonLayout", L"height", file(after.bottom - after.top)});
    }
    if (!Commit({*RefOf(control), ToDesign(before), ToDesign(after), caption, caption, {}},
                values)) {
        Place(control, before);
    }
}

void CNavoraDlgDesign::FinishCaption(const std::wstring& caption) {
    TButton* control = Selected();
    const std::wstring before = TextOf(control->Handle());
    if (caption == before) {
        return;
    }
    if (caption.empty()) {
        SetStatus(L"Not written. A control needs a caption.");
        return;
    }
    const RECT r = RectOf(control);
    SetWindowTextW(control->Handle(), caption.c_str());
    InvalidateRect(control->Handle(), nullptr, TRUE);
    if (!Commit({*RefOf(control), ToDesign(r), ToDesign(r), before, caption, {}},
                {{L"ButtonLayout", L"caption", caption}})) {
        SetWindowTextW(control->Handle(), before.c_str());
    }
}

bool CNavoraDlgDesign::Commit(DesignStep step, const std::vector<AttributeValue>& values) {
    if (session_.fileBytes != session_.viewBytes) {
        SetStatus(L"Not written. The file holds a save the view cannot show; mend it first.");
        return false;
    }
    std::string bytes = session_.fileBytes;
    std::wstring written;
    for (const AttributeValue& value : values) {
        ControlEdit edit =
            SetControlAttribute(bytes, step.control, value.part, value.name, value.value);
        if (!edit.bytes) {
            SetStatus(L"Not written. " + edit.refusal);
            return false;
        }
        bytes = std::move(*edit.bytes);
        written +=
            std::wstring(written.empty() ? L"" : L", ") + value.name + L"=\"" + value.value + L"\"";
    }
    if (const std::wstring error = WriteDesignedBytes(session_.path, session_.fileBytes, bytes);
        !error.empty()) {
        SetStatus(L"Not written. " + error);
        return false;
    }
    step.edit = EditBetween(session_.fileBytes, bytes);
    session_.viewBytes = bytes;
    session_.fileBytes = std::move(bytes);
    session_.history.Push(std::move(step));
    SetStatus(L"Written: " + written);
    CheckPage();
    return true;
}

void CNavoraDlgDesign::StepBack(bool undo) {
    const DesignStep* next = session_.history.Next(undo);
    if (next == nullptr) {
        SetStatus(undo ? L"Nothing to undo" : L"Nothing to redo");
        return;
    }
    const DesignStep step = *next;
    if (session_.fileBytes != session_.viewBytes) {
        SetStatus(L"Not written. The file holds a save the view cannot show; mend it first.");
        return;
    }
    std::string bytes = session_.fileBytes;
    if (!ApplyEdit(bytes, step.edit, !undo)) {
        SetStatus(L"Not written. The file no longer holds what the step wrote.");
        return;
    }
    if (const std::wstring error = WriteDesignedBytes(session_.path, session_.fileBytes, bytes);
        !error.empty()) {
        SetStatus(L"Not written. " + error);
        return;
    }
    session_.viewBytes = bytes;
    session_.fileBytes = std::move(bytes);
    if (step.before == step.after && step.captionBefore == step.captionAfter) {
        session_.history.Take(undo); // a property's step: the view is built again to show it
        Rebuild(std::wstring(undo ? L"Undone" : L"Redone") + L"; the file is written");
        return;
    }
    if (step.control.page >= 0 && step.control.page != session_.page) {
        ShowPage(step.control.page);
    }
    if (TButton* control = ControlOf(step.control)) {
        Place(control, ToRect(undo ? step.before : step.after));
        SetWindowTextW(control->Handle(), (undo ? step.captionBefore : step.captionAfter).c_str());
        Select(control);
    }
    session_.history.Take(undo);
    SetStatus(std::wstring(undo ? L"Undone" : L"Redone") + L"; the file is written");
    CheckPage();
}
