#pragma once

// tools/: rdp-store, the command-line tool with which administrators and support staff
// prepare, inspect and repair a store without the windows.

#include <QString>

#include <optional>

namespace rdp::tool {

// Exit codes of rdp-store.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 2;

// dump: the decoded lines as the loader reads them; password values as *** unless shown.
int Dump(const QString& path, bool showPasswords);

// check: 0 when every line verifies and parses.
int Check(const QString& path);

// Where the password of `add` comes from: none, the command line (visible to every local
// user while the command runs), standard input, or a prompt on the terminal.
enum class PasswordFrom { None, Argument, Stdin, Terminal };

// What `add` puts into the new profile; empty options keep the defaults of a new connection.
struct NewProfile {
    QString name;
    QString server;
    QString port;
    QString user;
    std::optional<QString> password;
    PasswordFrom passwordFrom = PasswordFrom::None;
    bool savePassword = false;
    std::optional<int> size;
    std::optional<int> color;
    std::optional<int> audio;
};

// add: adds the profile, makes it the selection and saves the store atomically.
int Add(const QString& path, const NewProfile& profile);

// Prints "rdp-store: <text>" to stderr.
void Complain(const QString& text);

} // namespace rdp::tool
