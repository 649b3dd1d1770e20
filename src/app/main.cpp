#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("Merrow Editor"));
    placeholder.resize(705, 559);
    placeholder.show();
    return app.exec();
}
