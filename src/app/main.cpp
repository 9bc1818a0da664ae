// senrokan: the desktop program.
#include "window/Form1.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Senrokan"));
    // The window may live hidden in the notification area: the program ends only when the
    // window is closed or an exit command runs, never because no window is visible.
    QApplication::setQuitOnLastWindowClosed(false);
    // Every text of the program is Japanese; Qt's own dialogs (file dialogs, buttons) follow.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    senrokan::Form1 window;
    QObject::connect(&window, &senrokan::Form1::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.Form_Load();
    return app.exec();
}
