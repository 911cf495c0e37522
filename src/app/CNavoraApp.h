// The application object: runs the menu dialog, then ends the process.
#pragma once

#include "win/Application.h"

class CNavoraApp : public Application {
public:
    BOOL InitInstance() override;
};
