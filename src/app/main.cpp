// senrokan: the desktop program.
#include "window/Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Senrokan"));
    // The window may live hidden in the notification area: the program ends only when the
    // window is closed or an exit command runs, never because no window is visible.
    QApplication::setQuitOnLastWindowClosed(false);

    senrokan::Form1 window;
    QObject::connect(&window, &senrokan::Form1::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.Form_Load();
    return app.exec();
}
