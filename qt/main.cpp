#include "qt/risk_app.h"

int main(int argc, char **argv)
{
    meravel::CRiskApp app(argc, argv);
    return app.Run();
}
