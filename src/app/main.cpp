#include "mainwindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(merrow);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    Main window;
    window.show();
    return app.exec();
}
