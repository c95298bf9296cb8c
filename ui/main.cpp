#include "Form1.h"
#include "VersionInfo.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(version::kProductName));
    QApplication::setApplicationVersion(QString::fromLatin1(version::kVersion));
    QApplication::setOrganizationName(QString::fromLatin1(version::kCompanyName));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(version::kAppId));

    Form1 window;
    window.show();
    return QApplication::exec();
}
