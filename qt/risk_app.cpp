#include "qt/risk_app.h"

#include "qt/about_dialog.h"
#include "qt/risk_dialog.h"
#include "res/version.h"

#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace meravel {

namespace {

// Qt reads its own options (-style, -platform, ...) from the arguments it is
// given; the calculator takes none, so it is given only the program name.
int g_argc = 1;

bool IsSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}

void SayNoDisplay(const char *french, const char *english)
{
    std::fprintf(stderr,
        "Meravel : pas d'écran où ouvrir la fenêtre (%s). Lancez Meravel depuis une session graphique.\n"
        "Meravel: no display to open the window on (%s). Start Meravel from a graphical session.\n",
        french, english);
}

// While the application object connects to the display, Qt's fatal message
// about it ends the program with status 1 instead of an abort.
bool g_bConnecting = false;
QtMessageHandler g_pDefaultHandler = nullptr;

void ConnectionMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (g_bConnecting && type == QtFatalMsg) {
        SayNoDisplay("la connexion à l'écran a échoué", "the connection to the display failed");
        std::fflush(stderr);
        std::_Exit(1);
    }
    g_pDefaultHandler(type, context, message);
}

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

int RunProgram(int argc, char **argv)
{
    // Qt's offscreen and minimal platforms, and any chosen by name, need no
    // display variable.
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("QT_QPA_PLATFORM")) {
        SayNoDisplay("ni DISPLAY ni WAYLAND_DISPLAY n'est défini", "neither DISPLAY nor WAYLAND_DISPLAY is set");
        return 1;
    }
    g_pDefaultHandler = qInstallMessageHandler(ConnectionMessages);
    g_bConnecting = true;
    CRiskApp app(argc, argv);
    g_bConnecting = false;
    qInstallMessageHandler(g_pDefaultHandler);
    return app.Run();
}

} // namespace meravel
