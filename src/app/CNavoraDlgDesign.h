// The design view: the menu's own dialog, built from the author's file, on which controls are
// selected, moved, resized and renamed; each finished change is written into the file.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CNavoraDlg.h"
#include "app/DesignFile.h"
#include "app/DesignProperties.h"
#include "app/DesignWatch.h"

// An attribute of a control's element ("ButtonPosition", "ButtonLayout") and its new value.
struct AttributeValue {
    const wchar_t* part;
    const wchar_t* name;
    std::wstring value;
};

// What outlives one build of the view: a reload builds the dialog anew from it.
struct DesignSession {
    std::wstring path;     // the author's file
    std::string fileBytes; // what the file held when last read or written here
    std::string viewBytes; // what the view shows: the last bytes it could be built from
    std::wstring viewPath; // a private copy of the bytes a build reads
    std::optional<std::string> outsideSave; // another program's save, to be built next
    int page = 0;
    std::optional<ControlRef> selection;
    std::wstring status;
    std::optional<POINT> windowPlace;
    bool propertiesOpen = false; // the properties window, shown again after a build
    UndoHistory history;
};

class CNavoraDlgDesign : public CNavoraDlg {
public:
    CNavoraDlgDesign(DesignSession& session, SetUpSink& sink);
    // Called by the sink once the set-up is complete.
    void StartDesign();
    void SetStatus(const std::wstring& text);

protected:
    bool PreTranslateMessage(MSG& message) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    std::vector<TButton*> ShownControls() const;
    TButton* ControlAt(POINT point) const;
    TButton* Selected() const;
    std::optional<ControlRef> RefOf(const TButton* control) const;
    TButton* ControlOf(const ControlRef& ref) const;
    void Select(TButton* control);
    void ShowPage(int page);
    void OnMouse(const MSG& message);
    // Moves or resizes the control being dragged for the pointer at `p`.
    void DragTo(POINT p);
    // Ends a drag that did not finish with the button going up: the control goes back to
    // where the file has it.
    void CancelDrag();
    void OnKey(WPARAM key);
    // `wanted` with its moving edges drawn to other controls' and the window's edges.
    RECT Snapped(RECT wanted, bool moving) const;
    static void Place(TButton* control, const RECT& r);
    // Writes the change from `before` to the control's present place; back on refusal.
    void Finish(TButton* control, const RECT& before);
    void FinishCaption(const std::wstring& caption);
    // Writes `step` into the file and pushes it for undo; false (and the status) on refusal.
    bool Commit(DesignStep step, const std::vector<AttributeValue>& values);
    void StepBack(bool undo);
    void OpenCaptionEdit();
    void CloseCaptionEdit(bool write);
    // Watches the file from the folder's change notifications, or polls it where none come.
    void StartWatch();
    // Reads the file after a change notice: another program's save rebuilds the view.
    void WatchFile();
    // Under the window, else where the screen has room.
    void PlaceStatus();
    void DrawMarks(const DRAWITEMSTRUCT& item) const;
    // A red frame inside the window's edge while findings are on the window itself.
    void DrawWindowMark(HDC dc) const;
    bool Marked(HWND window) const;
    // The hover look and tooltip of the control under the pointer, as the menu shows them.
    void ShowHover(const MSG& message);
    // The checker's findings for the shown page: red outlines on their controls (on the window
    // for the rest of the file), their messages in tooltips, their count in the status line.
    void CheckPage();
    // The properties window beside the menu, showing the selection; kept up to date.
    void OpenProperties();
    void RefreshProperties();
    void FillProperties();
    void ContextMenu(POINT p);
    // Writes one attribute of the selected control in place, as one undo step.
    void WriteProperty(const Property& property, const std::wstring& value);
    // Builds the view again from the file's bytes, on the same page with the same selection.
    void Rebuild(const std::wstring& status);
    // Ends this build for one from `bytes`, keeping what the next shows.
    void BuildAgain(const std::string& bytes);

    // The checker's messages for each control window that has findings.
    std::vector<std::pair<HWND, std::wstring>> findings_;
    HWND tips_ = nullptr;
    std::size_t findingCount_ = 0;

    DesignSession& session_;
    std::unique_ptr<DesignWatch> watch_;
    std::unique_ptr<DesignProperties> properties_;
    HWND status_ = nullptr;
    HWND edit_ = nullptr;
    ControlDrag drag_;
    bool altDown_ = false;
    bool started_ = false;
};
