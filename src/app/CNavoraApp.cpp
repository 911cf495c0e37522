#include "app/CNavoraApp.h"

#include "app/CNavoraDlg.h"

CNavoraApp theApp;

BOOL CNavoraApp::InitInstance() {
    CNavoraDlg dialog;
    dialog.DoModal();
    return FALSE;
}
