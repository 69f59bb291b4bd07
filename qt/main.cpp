#include "qt/risk_app.h"

int main(int argc, char **argv)
{
    return meravel::RunProgram(argc, argv);
}
