// Baseline for the performance figures: a bare Qt Widgets program that shows one window.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("qpa-bare-window"));
    window.resize(900, 600);
    window.show();
    return app.exec();
}
