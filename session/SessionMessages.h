#pragma once

#include <QSize>
#include <QString>

#include <optional>

// The texts of the session window: its status panel and the messages of a failed session.
namespace rdp {

QString LoggingOnText();  // the panel while connecting
QString LoggingOffText(); // the panel after a disconnection
QString ConnectingText(); // the control's own text while it connects
QString AlreadyLoggedOnText();
// The panel while a lost link is tried again: attempt `attempt` of `of`.
QString ReconnectingText(int attempt, int of);

// The message for a disconnection reason that the user must hear about (network failure,
// unknown computer, timeout, wrong credentials, a lost link, a desktop this side refused,
// named by `desktop`); nothing for a normal end.
std::optional<QString> DisconnectMessage(int reason, QSize desktop = {});

} // namespace rdp
