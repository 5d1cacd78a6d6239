// The setup window's controls: the title, four tabs of framed groups, and the buttons.
#include "ui/setup/RDP_frmSetup.h"

#include "common/Platform.h"
#include "common/Twips.h"
#include "ui/common/PasswordEcho.h"
#include "ui/common/RDP_basUI.h"
#include "ui/setup/DecorationImage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The client area in twips.
constexpr double kWidthTwips = 6330;
constexpr double kHeightTwips = 5835;

template <typename W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* Caption(const char* name, const char* text, QWidget* parent) {
    return Named(new QLabel(QString::fromUtf8(text), parent), name);
}

QGroupBox* Frame(const char* name, const char* caption, QWidget* parent) {
    return Named(new QGroupBox(QString::fromUtf8(caption), parent), name);
}

QCheckBox* Check(const char* name, const char* caption, QWidget* parent) {
    return Named(new QCheckBox(QString::fromUtf8(caption), parent), name);
}

QComboBox* DropDown(const char* name, QWidget* parent) {
    auto* list = Named(new QComboBox(parent), name);
    list->setEditable(false); // picks from the list only
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

// No button of the window reacts to Enter: no default and no auto-default button.
QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
    auto* button = Named(new QPushButton(QString::fromUtf8(caption), parent), name);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setMinimumWidth(88);
    return button;
}

// A frame holding one caption and one drop-down list side by side.
QGroupBox* ListFrame(const char* frameName, const char* frameCaption, const char* labelName,
                     const char* labelText, QComboBox* list, QWidget* page) {
    QGroupBox* frame = Frame(frameName, frameCaption, page);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(12, 8, 12, 10);
    row->setSpacing(12);
    QLabel* label = Caption(labelName, labelText, frame);
    label->setBuddy(list);
    list->setParent(frame);
    row->addWidget(label);
    row->addWidget(list, 1);
    return frame;
}

QVBoxLayout* PageLayout(QWidget* page) {
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(10, 8, 10, 8);
    column->setSpacing(8);
    return column;
}

} // namespace

RDP_frmSetup::RDP_frmSetup(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RDP_frmSetup"));
    setWindowTitle(QStringLiteral("连接设置"));
    setSizeGripEnabled(false);
    // Laid out to the pixel for its own font; its title's colour is made for its palette.
    RDP_basUI::KeepDesignedLook(this);
    BuildControls();
    SetTabOrder();
    cmbClient_->setFocus(Qt::OtherFocusReason); // where the window opens
    connect(cmbClient_, &QComboBox::activated, this, &RDP_frmSetup::cmbClient_Click);
    connect(cmdOk_, &QPushButton::clicked, this, &RDP_frmSetup::cmdOk_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &RDP_frmSetup::cmdCancel_Click);
    connect(cmdDelete_, &QPushButton::clicked, this, &RDP_frmSetup::cmdDelete_Click);
    connect(cmdNew_, &QPushButton::clicked, this, &RDP_frmSetup::cmdNew_Click);
    qApp->installEventFilter(this);
}

void RDP_frmSetup::BuildControls() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 10, 14, 12);
    column->setSpacing(8);

    lblTips_ = Caption("lblTips", "连接设置", this);
    QFont big = lblTips_->font();
    big.setPointSizeF(big.pointSizeF() * 1.35);
    big.setBold(true);
    lblTips_->setFont(big);
    lblTips_->setStyleSheet(QStringLiteral("color: #1f5fa8;"));
    column->addWidget(lblTips_);

    tabs_ = Named(new QTabWidget(this), "tabSetup");
    tabs_->addTab(BuildConnectTab(), QStringLiteral("连接"));
    tabs_->addTab(BuildDisplayTab(), QStringLiteral("显示"));
    tabs_->addTab(BuildResourceTab(), QStringLiteral("本地资源"));
    tabs_->addTab(BuildAdvancedTab(), QStringLiteral("高级"));
    tabs_->setCurrentIndex(0);
    column->addWidget(tabs_, 1);
    column->addWidget(BuildButtonRow());

    const rdp::ScreenMetrics screen = rdp::platform().Screen();
    const QSize designed(rdp::TwipsToPixels(kWidthTwips, screen.twipsPerPixelX),
                         rdp::TwipsToPixels(kHeightTwips, screen.twipsPerPixelY));
    // The designed client area, exactly: the layouts above are tight enough for it.
    setFixedSize(designed);
}

QWidget* RDP_frmSetup::BuildConnectTab() {
    auto* page = new QWidget;
    QVBoxLayout* column = PageLayout(page);

    QGroupBox* fraConnect = Frame("fraConnect", "连接设置", page);
    auto* connectGrid = new QGridLayout(fraConnect);
    connectGrid->setContentsMargins(12, 8, 12, 10);
    connectGrid->setHorizontalSpacing(12);
    connectGrid->setVerticalSpacing(6);
    connectGrid->addWidget(
        Named(new DecorationImage(DecorationImage::Kind::Computer, fraConnect), "Image2"), 0, 0, 2,
        1, Qt::AlignTop);
    QLabel* lblClient = Caption("lblClient", "连接", fraConnect);
    cmbClient_ = DropDown("cmbClient", fraConnect);
    lblClient->setBuddy(cmbClient_);
    connectGrid->addWidget(lblClient, 0, 1);
    connectGrid->addWidget(cmbClient_, 0, 2);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    cmdDelete_ = Button("cmdDelete", "删除连接", fraConnect);
    cmdNew_ = Button("cmdNew", "新建连接", fraConnect);
    buttons->addWidget(cmdDelete_);
    buttons->addWidget(cmdNew_);
    connectGrid->addLayout(buttons, 1, 1, 1, 2);
    connectGrid->setColumnStretch(2, 1);
    column->addWidget(fraConnect);

    QGroupBox* fraUser = Frame("fraUser", "用户设置", page);
    auto* userGrid = new QGridLayout(fraUser);
    userGrid->setContentsMargins(12, 8, 12, 10);
    userGrid->setHorizontalSpacing(12);
    userGrid->setVerticalSpacing(6);
    userGrid->addWidget(Named(new DecorationImage(DecorationImage::Kind::User, fraUser), "Image1"),
                        0, 0, 3, 1, Qt::AlignTop);
    txtUserName_ = Named(new QLineEdit(fraUser), "txtUserName");
    txtPassword_ = Named(new QLineEdit(fraUser), "txtPassword");
    RDP_basUI::EchoStars(txtPassword_);
    QLabel* lblUserName = Caption("lblUserName", "用户", fraUser);
    QLabel* lblPassword = Caption("lblPassword", "密码", fraUser);
    lblUserName->setBuddy(txtUserName_);
    lblPassword->setBuddy(txtPassword_);
    chkIsSavePassword_ = Check("chkIsSavePassword", "保存密码", fraUser);
    userGrid->addWidget(lblUserName, 0, 1);
    userGrid->addWidget(txtUserName_, 0, 2);
    userGrid->addWidget(lblPassword, 1, 1);
    userGrid->addWidget(txtPassword_, 1, 2);
    userGrid->addWidget(chkIsSavePassword_, 2, 2);
    userGrid->setColumnStretch(2, 1);
    column->addWidget(fraUser);
    column->addStretch(1);
    return page;
}

QWidget* RDP_frmSetup::BuildDisplayTab() {
    auto* page = new QWidget;
    QVBoxLayout* column = PageLayout(page);
    cmbDesktopSize_ = DropDown("cmbDesktopSize", page);
    cmbColorDepth_ = DropDown("cmbColorDepth", page);
    column->addWidget(ListFrame("fraDesktopSize", "显示屏幕的大小", "lblDesktopSize", "屏幕大小",
                                cmbDesktopSize_, page));
    column->addWidget(
        ListFrame("fraColorDepth", "颜色", "lblColorDepth", "颜色", cmbColorDepth_, page));
    column->addStretch(1);
    // The two lists of the tab start at the same edge.
    auto* sizeLabel = page->findChild<QLabel*>(QStringLiteral("lblDesktopSize"));
    auto* colorLabel = page->findChild<QLabel*>(QStringLiteral("lblColorDepth"));
    const int labelWidth = std::max(sizeLabel->sizeHint().width(), colorLabel->sizeHint().width());
    sizeLabel->setMinimumWidth(labelWidth);
    colorLabel->setMinimumWidth(labelWidth);
    return page;
}

QWidget* RDP_frmSetup::BuildResourceTab() {
    auto* page = new QWidget;
    QVBoxLayout* column = PageLayout(page);
    cmbAudioMode_ = DropDown("cmbAudioMode", page);
    column->addWidget(
        ListFrame("fraAudioMode", "计算机声音", "lblAudioMode", "声音", cmbAudioMode_, page));

    QGroupBox* fraPrint = Frame("fraPrint", "本地设备和资源", page);
    auto* grid = new QGridLayout(fraPrint);
    grid->setContentsMargins(12, 8, 12, 10);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(10);
    chkPrint_ = Check("chkPrint", "打印机", fraPrint);
    chkPorts_ = Check("chkPorts", "串行口", fraPrint);
    chkDrives_ = Check("chkDrives", "磁盘驱动器", fraPrint);
    chkSmartCards_ = Check("chkSmartCards", "剪贴板", fraPrint);
    // The session applies this one flag to the clipboard and to the smart-card readers.
    chkSmartCards_->setToolTip(QStringLiteral("在远程会话中共享本机的剪贴板和智能卡"));
    grid->addWidget(chkPrint_, 0, 0);
    grid->addWidget(chkPorts_, 0, 1);
    grid->addWidget(chkDrives_, 1, 0);
    grid->addWidget(chkSmartCards_, 1, 1);
    grid->setColumnStretch(1, 1);
    column->addWidget(fraPrint);
    column->addStretch(1);
    return page;
}

QWidget* RDP_frmSetup::BuildAdvancedTab() {
    auto* page = new QWidget;
    QVBoxLayout* column = PageLayout(page);
    QGroupBox* fraBitmapPeristence = Frame("fraBitmapPeristence", "性能", page);
    auto* frameColumn = new QVBoxLayout(fraBitmapPeristence);
    frameColumn->setContentsMargins(12, 8, 12, 10);
    chkBitmapPeristence_ = Check("chkBitmapPeristence", "位图缓存", fraBitmapPeristence);
    frameColumn->addWidget(chkBitmapPeristence_);
    column->addWidget(fraBitmapPeristence);
    chkCanAutoReconnect_ = Check("chkCanAutoReconnect", "如果连接中断，则重新连接", page);
    auto* reconnectRow = new QHBoxLayout;
    reconnectRow->setContentsMargins(14, 0, 0, 0);
    reconnectRow->addWidget(chkCanAutoReconnect_);
    column->addLayout(reconnectRow);
    column->addStretch(1);
    return page;
}

QWidget* RDP_frmSetup::BuildButtonRow() {
    auto* row = new QWidget(this);
    auto* buttons = new QHBoxLayout(row);
    buttons->setContentsMargins(0, 4, 0, 0);
    buttons->addStretch(1);
    cmdOk_ = Button("cmdOk", "保存", row);
    cmdCancel_ = Button("cmdCancel", "取消", row);
    buttons->addWidget(cmdOk_);
    buttons->addWidget(cmdCancel_);
    return row;
}

// The focus walks from the connection list to the account fields, then through the rest.
void RDP_frmSetup::SetTabOrder() {
    const QList<QWidget*> chain = {
        cmbClient_, txtUserName_,    txtPassword_,   chkIsSavePassword_,   cmdDelete_,
        cmdNew_,    cmbDesktopSize_, cmbColorDepth_, cmbAudioMode_,        chkPrint_,
        chkPorts_,  chkDrives_,      chkSmartCards_, chkBitmapPeristence_, chkCanAutoReconnect_,
        cmdOk_,     cmdCancel_,      tabs_->tabBar()};
    for (qsizetype i = 1; i < chain.size(); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
}
