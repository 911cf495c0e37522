// The program's entry constructs nothing itself: it runs the InitInstance of the one
// application object the program defines.
#pragma once

#include <windows.h>

class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application() = default;

    // Returns FALSE to end the process without a message loop of its own.
    virtual BOOL InitInstance() = 0;

    static Application* Current();
};
