// The floor for any Qt Widgets program here: one frameless window of the login window's
// size (425 x 224 pixels), nothing else. bench/run-all.sh times it against the launcher.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(425, 224);
    window.show();
    return QApplication::exec();
}
