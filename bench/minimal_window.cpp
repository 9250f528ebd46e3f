// The floor for start-up: a Qt Widgets program that shows one empty window,
// or with "--text" one window with a line of text, which adds what every
// program that shows text pays: loading the font database.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[])
{
    QApplication objApplication(argc, argv);
    QWidget objWindow;
    objWindow.setWindowTitle(QStringLiteral("Minimal"));
    objWindow.resize(309, 260);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        new QLabel(QStringLiteral("Customer List"), &objWindow);
    objWindow.show();
    return QApplication::exec();
}
