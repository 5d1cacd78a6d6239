#include "ui/login/RDP_frmLogin.h"

#include "common/Platform.h"
#include "common/Twips.h"
#include "ui/common/PasswordEcho.h"
#include "ui/common/RDP_basUI.h"
#include "ui/login/ImageBox.h"
#include "ui/login/LoginArtwork.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

// The window's client area and its controls, in twips.
constexpr double FormWidth = 6375;
constexpr double FormHeight = 3360;

struct Place {
    double left, top, width, height;
};

QRect ToPixels(const Place& p) {
    const rdp::ScreenMetrics m = rdp::platform().Screen();
    return {rdp::TwipsToPixels(p.left, m.twipsPerPixelX),
            rdp::TwipsToPixels(p.top, m.twipsPerPixelY),
            rdp::TwipsToPixels(p.width, m.twipsPerPixelX),
            rdp::TwipsToPixels(p.height, m.twipsPerPixelY)};
}

void PlaceAt(QWidget* w, const Place& p) {
    w->setGeometry(ToPixels(p));
}

// A label keeps its position; where its caption would be clipped it grows.
void PlaceLabel(QLabel* label, const Place& p) {
    QRect r = ToPixels(p);
    const QSize need = label->sizeHint();
    r.setWidth(std::max(r.width(), need.width()));
    r.setHeight(std::max(r.height(), need.height()));
    label->setGeometry(r);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

void RDP_frmLogin::BuildControls() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("连接登录"));
    // The captions lie on the window's own light artwork: its look is its own, whatever the
    // desktop's palette and font.
    RDP_basUI::KeepDesignedLook(this);
    CreateControls();
    PlaceControls();
    ConnectControls();
    setTabOrder(txtUserName, txtPassword);
    setTabOrder(txtPassword, cmbClient);
    setTabOrder(cmbClient, cmdOk);
    setTabOrder(cmdOk, cmdCancel);
    setTabOrder(cmdCancel, cmdSetup);
    // The window sees every key before the focused control.
    for (QWidget* control : std::initializer_list<QWidget*>{txtUserName, txtPassword, cmbClient,
                                                            cmdOk, cmdCancel, cmdSetup, lbl}) {
        control->installEventFilter(this);
    }
    CentreOnScreen();
}

void RDP_frmLogin::CreateControls() {
    imgTitle = new ImageBox(this);
    imgTitle->setObjectName(QStringLiteral("imgTitle"));
    imgExit = new ImageBox(this);
    imgExit->setObjectName(QStringLiteral("imgExit"));
    imgExit->setCursor(Qt::PointingHandCursor);
    imgExit->setToolTip(QStringLiteral("退出"));
    lblTitle = MakeLabel(this, "lblTitle", QStringLiteral("连接登录"));
    lblTitle2 = MakeLabel(this, "lblTitle2", QStringLiteral("远程桌面"));
    lblTips = MakeLabel(this, "lblTips", QStringLiteral("登录"));
    lblClient = MakeLabel(this, "lblClient", QStringLiteral("连接"));
    cmbClient = new QComboBox(this);
    cmbClient->setObjectName(QStringLiteral("cmbClient"));
    lblUserName = MakeLabel(this, "lblUserName", QStringLiteral("用户"));
    txtUserName = new QLineEdit(this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    lblPassword = MakeLabel(this, "lblPassword", QStringLiteral("密码"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    RDP_basUI::EchoStars(txtPassword);
    // The version readable at a glance; the tooltip carries it too.
    lblVersion = MakeLabel(this, "lblVersion", VersionText());
    lbl = MakeLabel(this, "lbl", QString());
    lbl->setVisible(false);
    cmdOk = MakeButton(this, "cmdOk", QStringLiteral("登录"));
    cmdCancel = MakeButton(this, "cmdCancel", QStringLiteral("取消"));
    cmdSetup = MakeButton(this, "cmdSetup", QStringLiteral("设置  >>"));
    lblTitle->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblTitle2->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblTitle->raise();
    lblTitle2->raise();
    imgExit->raise();
}

void RDP_frmLogin::PlaceControls() {
    lblTitle->setFont(RDP_basUI::BoldOfRegularFace(font()));
    lblTitle->setStyleSheet(QStringLiteral("color: white;"));
    lblTitle2->setStyleSheet(QStringLiteral("color: #cfe4ff;"));
    QFont tipsFont = font();
    tipsFont.setPointSizeF(font().pointSizeF() * 1.9);
    lblTips->setFont(RDP_basUI::BoldOfRegularFace(tipsFont));
    lblTips->setStyleSheet(QStringLiteral("color: #1d4a86;"));
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.85);
    lblVersion->setFont(small);
    lblVersion->setStyleSheet(QStringLiteral("color: #7f8ea3;"));
    lbl->setFont(small);

    const rdp::ScreenMetrics m = rdp::platform().Screen();
    setFixedSize(rdp::TwipsToPixels(FormWidth, m.twipsPerPixelX),
                 rdp::TwipsToPixels(FormHeight, m.twipsPerPixelY));
    PlaceAt(imgTitle, {30, 30, 6375, 495});
    PlaceAt(imgExit, {5670, 30, 645, 255});
    PlaceLabel(lblTitle, {540, 180, 720, 180});
    PlaceLabel(lblTitle2, {1350, 180, 855, 225});
    PlaceLabel(lblTips, {540, 810, 570, 285});
    PlaceLabel(lblClient, {1770, 900, 360, 180});
    PlaceAt(cmbClient, {2220, 840, 2955, 330});
    PlaceLabel(lblUserName, {1770, 1530, 360, 180});
    PlaceAt(txtUserName, {2310, 1500, 2835, 255});
    PlaceLabel(lblPassword, {1770, 1950, 360, 180});
    PlaceAt(txtPassword, {2310, 1920, 2835, 255});
    PlaceLabel(lblVersion, {480, 2430, 720, 180});
    PlaceLabel(lbl, {60, 510, 105, 195});
    PlaceAt(cmdOk, {2520, 2850, 1245, 405});
    PlaceAt(cmdCancel, {3780, 2850, 1245, 405});
    PlaceAt(cmdSetup, {5040, 2850, 1245, 405});
    // Text boxes as high as their text needs, keeping their top.
    for (QLineEdit* box : {txtUserName, txtPassword}) {
        box->resize(box->width(), std::max(box->height(), box->sizeHint().height()));
    }
    const qreal ratio = devicePixelRatioF();
    imgTitle->setPicture(LoginArtwork::TitleStrip(imgTitle->size(), ratio));
    imgExit->setPicture(LoginArtwork::CloseMark(imgExit->size(), ratio));
}

void RDP_frmLogin::ConnectControls() {
    connect(cmbClient, &QComboBox::activated, this, &RDP_frmLogin::cmbClient_Click);
    connect(cmdOk, &QPushButton::clicked, this, &RDP_frmLogin::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &RDP_frmLogin::cmdCancel_Click);
    connect(cmdSetup, &QPushButton::clicked, this, &RDP_frmLogin::cmdSetup_Click);
    connect(imgExit, &ImageBox::Click, this, &RDP_frmLogin::imgExit_Click);
    const rdp::ScreenMetrics m = rdp::platform().Screen();
    const double tx = m.twipsPerPixelX;
    const double ty = m.twipsPerPixelY;
    connect(imgTitle, &ImageBox::MouseDown, this, [this, tx, ty](int b, int s, int x, int y) {
        imgTitle_MouseDown(b, s, static_cast<float>(x * tx), static_cast<float>(y * ty));
    });
    connect(imgTitle, &ImageBox::MouseMove, this, [this, tx, ty](int b, int s, int x, int y) {
        imgTitle_MouseMove(b, s, static_cast<float>(x * tx), static_cast<float>(y * ty));
    });
}

void RDP_frmLogin::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
}

void RDP_frmLogin::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    LoginArtwork::PaintBackground(painter, rect());
}
