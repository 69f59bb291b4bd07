#include "qt/risk_app.h"

#include "qt/about_dialog.h"
#include "qt/risk_dialog.h"
#include "res/version.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace meravel {

namespace {

// Qt reads its own options (-style, -platform, ...) from the arguments it is
// given; the calculator takes none, so it is given only the program name.
int g_argc = 1;

} // namespace

CRiskApp::CRiskApp(int argc, char **argv)
    : QApplication(g_argc, argv)
{
    Q_UNUSED(argc);
    setApplicationName(QStringLiteral("Meravel"));
    setApplicationVersion(QStringLiteral(MERAVEL_VERSION));
    setDesktopFileName(QStringLiteral(MERAVEL_APP_ID));
    setQuitOnLastWindowClosed(false);

    // The calculator speaks French whatever the desktop's language: Qt's own
    // texts (the fields' context menus) follow it where the translation is
    // installed.
    auto *translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

bool CRiskApp::InitInstance()
{
    CRiskDialog dialog;
    setWindowIcon(dialog.Icon());
    ConnectAboutBox(dialog);
    dialog.exec();
    return false;
}

int CRiskApp::Run()
{
    InitInstance();
    return 0;
}

} // namespace meravel
