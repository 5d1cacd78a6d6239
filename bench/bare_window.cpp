// The floors for the launcher's start-up: one frameless window of the login window's size
// (425 x 224 pixels). bench/run-all.sh times both forms against the launcher.
//
//   bench_bare_window          the window and nothing else
//   bench_bare_window text     the window showing the login window's captions in its font
//                              (Noto Sans CJK SC 9 pt; bold title, large bold tips, small
//                              version): the font load and text shaping the login window
//                              cannot avoid.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

#include <cstring>

namespace {

struct Caption {
    const char* text;
    int x, y;
    double scale;
    bool bold;
};

// The login window's captions, with its buttons' texts, at about their places.
constexpr Caption Captions[] = {
    {"连接登录", 36, 12, 1.0, true},       {"远程桌面", 90, 12, 1.0, false},
    {"登录", 36, 54, 1.9, true},           {"连接", 118, 60, 1.0, false},
    {"用户", 118, 102, 1.0, false},        {"密码", 118, 130, 1.0, false},
    {"版本：1.0.0", 32, 162, 0.85, false}, {"登录", 170, 190, 1.0, false},
    {"取消", 250, 190, 1.0, false},        {"设置  >>", 330, 190, 1.0, false}};

void AddCaptions(QWidget* window) {
    for (const Caption& c : Captions) {
        auto* label = new QLabel(QString::fromUtf8(c.text), window);
        QFont f = window->font();
        f.setPointSizeF(f.pointSizeF() * c.scale);
        f.setBold(c.bold);
        label->setFont(f);
        label->move(c.x, c.y);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    const bool withText = argc > 1 && std::strcmp(argv[1], "text") == 0;
    if (withText) {
        QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 9));
    }
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(425, 224);
    if (withText) {
        AddCaptions(&window);
    }
    window.show();
    return QApplication::exec();
}
