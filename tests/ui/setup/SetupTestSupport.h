#pragma once

#include "profiles/ConnectParaStore.h"
#include "profiles/RDP_ConnectPara.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ProfileFields.h"
#include "ui/setup/RDP_frmSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace setuptest {

// A temporary program folder with the real store in it, a fresh gConnectPara() and the fake
// platform that records every message.
struct Env {
    QTemporaryDir dir;
    rdp::test::FakePlatform fake;

    Env() {
        fake.programFolder = dir.path();
        fake.systemFolder = dir.path() + QLatin1Char('/');
        ResetConnectPara();
    }
};

// A profile with the default options, added to gConnectPara().
inline RDP_ConnectParaItems& AddProfile(const QString& name, const QString& user = {}) {
    RDP_ConnectPara& list = gConnectPara();
    list.Add(name, name + QStringLiteral(".example"), QStringLiteral("3389"), {}, {}, 0, 0, 0);
    RDP_ConnectParaItems& p = list.SetDefault(list.Count());
    p.setUserName(user);
    return p;
}

// 甲, 乙 and 丙 with the users u1, u2 and u3.
inline void AddThree() {
    AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
    AddProfile(QStringLiteral("乙"), QStringLiteral("u2"));
    AddProfile(QStringLiteral("丙"), QStringLiteral("u3"));
}

inline bool StoreExists() {
    return QFile::exists(RDP_basClient::ConnectParaFilePath());
}

using rdp::test::Fields;

// The store read back into a list of its own.
inline std::unique_ptr<RDP_ConnectPara> Reload() {
    auto list = std::make_unique<RDP_ConnectPara>();
    if (!RDP_basClient::LoadConnectPara(*list).ok()) {
        return nullptr;
    }
    return list;
}

// Saves the list as it is and makes the store read-only, so that the next save fails.
inline void SaveReadOnlyStore() {
    QVERIFY(RDP_basClient::SaveConnectPara(gConnectPara()).ok());
    QFile::setPermissions(RDP_basClient::ConnectParaFilePath(),
                          QFileDevice::ReadOwner | QFileDevice::ReadGroup);
}

template <typename W> W* Child(const QWidget& window, const char* name) {
    return window.findChild<W*>(QString::fromLatin1(name));
}

inline QLineEdit* Text(const QWidget& w, const char* name) {
    return Child<QLineEdit>(w, name);
}
inline QComboBox* List(const QWidget& w, const char* name) {
    return Child<QComboBox>(w, name);
}
inline QCheckBox* Check(const QWidget& w, const char* name) {
    return Child<QCheckBox>(w, name);
}
inline QPushButton* Button(const QWidget& w, const char* name) {
    return Child<QPushButton>(w, name);
}

// Runs `act` once the first visible widget of type W appears (a modal dialog opened by the
// code under test), polling from the event loop that the dialog runs.
template <typename W> void WhenShown(std::function<void(W*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows) {
            auto* wanted = qobject_cast<W*>(w);
            if (wanted != nullptr && wanted->isVisible()) {
                poll->stop();
                poll->deleteLater();
                act(wanted);
                return;
            }
        }
    });
    poll->start();
}

// Runs the window's Init(); `script` runs from inside its modal loop once the window is active. A
// watchdog closes the window if the script never does, so that a broken test fails instead of
// hanging.
inline bool RunInit(RDP_frmSetup& window, std::function<void()> script) {
    bool watchdogFired = false;
    QTimer::singleShot(0, &window, [&window, script] {
        if (QTest::qWaitForWindowActive(&window)) {
            script();
        }
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &window, [&] {
        watchdogFired = true;
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows) {
            auto* dialog = qobject_cast<QDialog*>(w);
            if (dialog != nullptr && dialog != &window && dialog->isVisible()) {
                dialog->reject();
            }
        }
        QTimer::singleShot(0, &window, [&window] { window.cmdCancel_Click(); });
    });
    watchdog.start(10000);
    window.Init();
    return !watchdogFired;
}

} // namespace setuptest
