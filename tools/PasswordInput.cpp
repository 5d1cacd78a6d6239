#include "tools/PasswordInput.h"

#include <QByteArray>

#include <cstdio>
#include <cstring>

#include <termios.h>
#include <unistd.h>

namespace rdp::tool {

namespace {

// One line of `stream` without its line end (LF, or CR LF); nothing at the end of input.
std::optional<QString> ReadLine(std::FILE* stream) {
    QByteArray line;
    for (int c = std::fgetc(stream); c != EOF && c != '\n'; c = std::fgetc(stream)) {
        line.append(static_cast<char>(c));
    }
    if (line.isEmpty() && (std::feof(stream) || std::ferror(stream))) {
        return std::nullopt;
    }
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    return QString::fromUtf8(line);
}

// Asks on the terminal of standard input, with echo off while the password is typed.
std::optional<QString> AskOnTerminal() {
    termios saved{};
    if (::isatty(STDIN_FILENO) == 0 || ::tcgetattr(STDIN_FILENO, &saved) != 0) {
        return std::nullopt;
    }
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    std::fputs("密码：", stderr);
    std::fflush(stderr);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    std::optional<QString> password = ReadLine(stdin);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputs("\n", stderr);
    return password;
}

} // namespace

bool ReadPassword(NewProfile& profile) {
    switch (profile.passwordFrom) {
    case PasswordFrom::None:
    case PasswordFrom::Argument:
        return true;
    case PasswordFrom::Stdin:
        profile.password = ReadLine(stdin);
        if (!profile.password) {
            Complain(QStringLiteral("--password-stdin：标准输入中没有密码"));
        }
        break;
    case PasswordFrom::Terminal:
        profile.password = AskOnTerminal();
        if (!profile.password) {
            Complain(QStringLiteral("--save-password 需要密码：请用 --password-stdin 从标准输入"
                                    "读取，或在终端中运行以输入密码"));
        }
        break;
    }
    return profile.password.has_value();
}

void HidePasswordArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        char* value = nullptr;
        if (std::strcmp(argv[i], "--password") == 0 && i + 1 < argc) {
            value = argv[i + 1];
        } else if (std::strncmp(argv[i], "--password=", 11) == 0) {
            value = argv[i] + 11;
        }
        if (value != nullptr) {
            std::memset(value, 'x', std::strlen(value));
        }
    }
}

} // namespace rdp::tool
