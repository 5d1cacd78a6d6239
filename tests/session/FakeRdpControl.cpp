#include "tests/session/FakeRdpControl.h"

#include "session/DesktopWindow.h"
#include "session/RdpControlFactory.h"

namespace rdp::test {

std::int16_t FakeRdpControl::Connected() const {
    calls.append(QStringLiteral("Connected?"));
    if (!connectedAnswers.empty()) {
        const std::int16_t answer = connectedAnswers.front();
        connectedAnswers.pop_front();
        return answer;
    }
    return connectedValue;
}

void FakeRdpControl::setContainerLeft(int x) {
    Log(u"ContainerLeft", x);
    RdpClientControl::setContainerLeft(x);
}

void FakeRdpControl::setContainerTop(int y) {
    Log(u"ContainerTop", y);
    RdpClientControl::setContainerTop(y);
}

void FakeRdpControl::Disconnect() {
    calls.append(QStringLiteral("Disconnect()"));
    if (disconnectRaisesEvent) {
        emit OnDisconnected(1);
    }
}

void FakeRdpControl::setContainerWidth(int w) {
    Log(u"ContainerWidth", w);
    hiddenResizes += window()->isVisible() ? 0 : 1;
    RdpClientControl::setContainerWidth(w);
}

void FakeRdpControl::setContainerHeight(int h) {
    Log(u"ContainerHeight", h);
    hiddenResizes += window()->isVisible() ? 0 : 1;
    RdpClientControl::setContainerHeight(h);
}

bool FakeRdpControl::raiseConfirmClose() {
    bool allow = true;
    emit OnConfirmClose(&allow);
    return allow;
}

bool FakeRdpControl::raiseReceivedTSPublicKey() {
    bool go = true;
    emit OnReceivedTSPublicKey(QByteArrayLiteral("key"), &go);
    return go;
}

QStringList FakeRdpControl::settings() const {
    QStringList out;
    for (const QString& c : calls) {
        if (!c.startsWith(u"ContainerWidth=") && !c.startsWith(u"ContainerHeight=")) {
            out.append(c);
        }
    }
    return out;
}

std::optional<QString> FakeRdpControl::valueOf(QStringView name) const {
    const QString prefix = name.toString() + QLatin1Char('=');
    for (auto it = calls.crbegin(); it != calls.crend(); ++it) {
        if (it->startsWith(prefix)) {
            return it->mid(prefix.size());
        }
    }
    return std::nullopt;
}

void FakeRdpControl::Log(QStringView name, const QString& value) {
    calls.append(name.toString() + QLatin1Char('=') + value);
}

void FakeRdpControl::Log(QStringView name, std::int32_t value) {
    Log(name, QString::number(value));
}

void FakeRdpControl::Log(QStringView name, bool value) {
    Log(name, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void InstallFakeControls(FakeRdpControl*& made) {
    made = nullptr;
    SetRdpControlFactory([&made](QWidget* parent) {
        made = new FakeRdpControl(parent);
        return made;
    });
}

void RemoveFakeControls() {
    UnloadDesktopWindow();
    SetRdpControlFactory({});
}

} // namespace rdp::test
