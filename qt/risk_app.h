#pragma once

// The application object: one per process, built by main(). InitInstance
// runs the calculator window modally and returns false once it closes, so the
// process ends with it; there is no other window loop. The command line is
// ignored, Qt's own options included.

#include <QApplication>

namespace meravel {

class CRiskApp : public QApplication
{
    Q_OBJECT

public:
    CRiskApp(int argc, char **argv);

    // Runs the calculator; false ends the application.
    bool InitInstance();
    // InitInstance, then the process exit code.
    int Run();
};

} // namespace meravel
