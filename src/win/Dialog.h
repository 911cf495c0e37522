// A modal dialog runs from a dialog template with a modal loop of its own: every message
// goes through PreTranslateMessage first, and the dialog manager's keyboard handling
// (IsDialogMessage) is not used.
#pragma once

#include <windows.h>

class Dialog {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    // Creates the dialog, runs it until EndDialog and returns its result.
    INT_PTR DoModal();
    // Ends the dialog once the current message has been handled.
    void EndDialog(INT_PTR result);
    HWND Handle() const { return hwnd_; }

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    // Returns true when it handled the message, which is then not dispatched.
    virtual bool PreTranslateMessage(MSG& message);
    // Returns whether the message was handled; `result` is then the dialog procedure's value.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND hwnd_ = nullptr;
    bool ended_ = false;
    INT_PTR result_ = 0;
};
