#include "win32/risk_app.h"
#include "win32/win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    meravel::CRiskApp app;
    return app.Run();
}
