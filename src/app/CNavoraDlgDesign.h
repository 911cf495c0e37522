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

// What outlives one build of the view: a reload builds the dialog anew from it.
struct DesignSession {
    std::wstring path;     // the author's file
    std::string fileBytes; // what the file held when last read or written here
    std::string viewBytes; // what the view shows: the last bytes it could be built from
    std::wstring viewPath; // a private copy of the bytes a build reads
    std::optional<std::string> nextBuild; // bytes to build the view from next
    std::wstring status;
    std::optional<POINT> windowPlace;
    bool newStepBuilt = false;   // the build shows a step of the view's own for the first time
    bool propertiesOpen = false; // the properties window, shown again after a build
    std::vector<ControlRef> propertiesFor; // the selection it shows
    int propertiesScroll = 0;              // and how far down it was scrolled
    DesignModel model; // the controls, the selection, the page and the undo steps
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
    // The first selected control, or none.
    TButton* Selected() const;
    std::optional<ControlRef> RefOf(const TButton* control) const;
    TButton* ControlOf(const ControlRef& ref) const;
    void ShowPage(int page);
    void OnMouse(const MSG& message);
    // Ends a drag that did not finish with the button going up: the controls go back.
    void CancelDrag();
    void OnKey(WPARAM key);
    // Shows the model after an action: places, captions, selection, the status line and the
    // properties window; a write also goes to the session, and controls that came or went (or
    // a property written) build the window anew.
    void Show(const DesignOutcome& outcome);
    // Between the window's pixels and the file's, which "dpiscale" scales to the screen's DPI.
    RECT ScreenRect(const DesignRect& r) const;
    DesignPoint FilePoint(POINT p) const;
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
    // Ends this build for one from `bytes`, on the same page with the same selection.
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
    DesignFileStore store_;
    bool altDown_ = false;
    bool started_ = false;
};
