#pragma once

// The application object on Windows: one per process, built by wWinMain.
// InitInstance runs the calculator window modally and returns false once it
// closes, so the process ends with it; there is no other message loop. The
// command line is ignored.

namespace meravel {

class CRiskApp
{
public:
    // Runs the calculator; false ends the application.
    bool InitInstance();
    // InitInstance, then the process exit code.
    int Run();
};

} // namespace meravel
