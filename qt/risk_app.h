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

// The program: the calculator when there is a display to show it on;
// otherwise a message in French and in English on the standard error and
// exit status 1, where Qt would abort.
int RunProgram(int argc, char **argv);

} // namespace meravel
