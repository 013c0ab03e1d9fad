// The benchmark's yardstick: the least a Qt Widgets program does to show a
// window of the main window's size with a line of text in it. The text is
// what makes Qt load its font database, a cost that every window showing
// words pays; `--empty` leaves it out, for a window with nothing in it.

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(809, 305);
    if (argc < 2 || std::strcmp(argv[1], "--empty") != 0) {
        auto* text = new QLabel(QStringLiteral("Bare window"), &window);
        text->move(8, 16);
    }
    window.show();
    return QApplication::exec();
}
