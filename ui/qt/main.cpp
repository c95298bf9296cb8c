#include "ErrorReport.h"
#include "EventDispatch.h"
#include "Form1.h"
#include "StartUp.h"
#include "VersionInfo.h"

int main(int, char *[])
{
    // The program takes no input: the toolkit is not shown the command line,
    // so its options (-style, -stylesheet, -reverse, -qwindowtitle, ...) have
    // no effect.
    int argc = 1;
    char name[] = "vantrel1";
    char *argv[] = {name, nullptr};

    TransientRuntimeDir runtimeDir;
    keepSessionBusFromAutolaunching();
    skipStaleWaylandDisplay();
    StartUpWatch startUp(runtimeDir);
    Application app(argc, argv);
    startUp.succeeded();
    QApplication::setApplicationName(QString::fromLatin1(version::kProductName));
    QApplication::setApplicationVersion(QString::fromLatin1(version::kVersion));
    QApplication::setOrganizationName(QString::fromLatin1(version::kCompanyName));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(version::kAppId));

    try {
        Form1 window;
        window.show();
        return QApplication::exec();
    } catch (...) {
        // No window was made: the one report, without it.
        return form::reportWithoutWindow(std::current_exception(), [](std::u16string_view message) {
            showModalErrorBox(nullptr, message);
        });
    }
}
