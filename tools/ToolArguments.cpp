#include "tools/ToolArguments.h"

#include "common/TextHelpers.h"
#include "profiles/EntryText.h"
#include "profiles/PortNumber.h"

#include <QCommandLineParser>

namespace rdp::tool {

namespace {

const QStringList kAddOptions{QStringLiteral("name"),          QStringLiteral("server"),
                              QStringLiteral("port"),          QStringLiteral("user"),
                              QStringLiteral("password"),      QStringLiteral("password-stdin"),
                              QStringLiteral("save-password"), QStringLiteral("size"),
                              QStringLiteral("color"),         QStringLiteral("audio")};

void DefineOptions(QCommandLineParser& parser) {
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")}, QString()});
    parser.addOption({QStringLiteral("show-passwords"), QString()});
    for (const QString& name : kAddOptions) {
        const bool isFlag =
            name == QStringLiteral("save-password") || name == QStringLiteral("password-stdin");
        parser.addOption({name, QString(), isFlag ? QString() : QStringLiteral("value")});
    }
}

QString Trimmed(const QCommandLineParser& parser, const QString& name) {
    return RDP_basPublic::TrimSpaces(parser.value(name)).toString();
}

// A code given as a whole number from `low` to `high`; false when given otherwise.
bool ReadCode(const QCommandLineParser& parser, const QString& name, int low, int high,
              std::optional<int>& code) {
    if (!parser.isSet(name)) {
        return true;
    }
    bool ok = false;
    const int value = Trimmed(parser, name).toInt(&ok);
    if (!ok || value < low || value > high) {
        Complain(QStringLiteral("--%1 须为 %2 到 %3 的整数").arg(name).arg(low).arg(high));
        return false;
    }
    code = value;
    return true;
}

// Names, servers and user names with a control character would show broken in the lists.
bool TextsFit(const NewProfile& p) {
    const struct {
        const QString& text;
        const char* field;
    } texts[] = {{p.name, "连接名称（--name）"},
                 {p.server, "服务器地址（--server）"},
                 {p.user, "用户名（--user）"}};
    for (const auto& t : texts) {
        if (rdp::HasControlCharacter(t.text)) {
            Complain(rdp::ControlCharacterMessage(QString::fromUtf8(t.field)));
            return false;
        }
    }
    return true;
}

// Where the password comes from: --password (with a warning), --password-stdin, or, for
// --save-password alone, the terminal.
bool ReadPasswordSource(const QCommandLineParser& parser, NewProfile& p) {
    const bool argument = parser.isSet(QStringLiteral("password"));
    const bool fromStdin = parser.isSet(QStringLiteral("password-stdin"));
    if (argument && fromStdin) {
        Complain(QStringLiteral("--password 和 --password-stdin 只能用一个"));
        return false;
    }
    if ((argument || fromStdin) && !p.savePassword) {
        Complain(
            QStringLiteral("%1 须与 --save-password 同用，否则密码不会保存")
                .arg(argument ? QStringLiteral("--password") : QStringLiteral("--password-stdin")));
        return false;
    }
    if (argument) {
        p.password = parser.value(QStringLiteral("password")); // exactly as typed
        p.passwordFrom = PasswordFrom::Argument;
        Complain(
            QStringLiteral("警告：命令行上的密码在命令运行期间本机的其他用户都能看到（ps）；"
                           "请改用 --password-stdin，或只给 --save-password 在终端中输入密码。"));
    } else if (p.savePassword) {
        p.passwordFrom = fromStdin ? PasswordFrom::Stdin : PasswordFrom::Terminal;
    }
    return true;
}

bool ReadProfile(const QCommandLineParser& parser, NewProfile& p) {
    p.name = Trimmed(parser, QStringLiteral("name"));
    p.server = Trimmed(parser, QStringLiteral("server"));
    p.port = Trimmed(parser, QStringLiteral("port"));
    p.user = Trimmed(parser, QStringLiteral("user"));
    p.savePassword = parser.isSet(QStringLiteral("save-password"));
    if (p.name.isEmpty()) {
        Complain(QStringLiteral("连接名称必须输入。（--name）"));
        return false;
    }
    if (p.server.isEmpty()) {
        Complain(QStringLiteral("服务器必须输入。（--server）"));
        return false;
    }
    if (!rdp::PortNumber(p.port)) {
        Complain(QStringLiteral("--port 须为 1 到 65535 的整数"));
        return false;
    }
    return TextsFit(p) && ReadPasswordSource(parser, p) &&
           ReadCode(parser, QStringLiteral("size"), 0, 4, p.size) &&
           ReadCode(parser, QStringLiteral("color"), 0, 4, p.color) &&
           ReadCode(parser, QStringLiteral("audio"), 0, 2, p.audio);
}

std::optional<Command> CommandNamed(const QString& name) {
    if (name == QStringLiteral("dump")) {
        return Command::Dump;
    }
    if (name == QStringLiteral("check")) {
        return Command::Check;
    }
    if (name == QStringLiteral("add")) {
        return Command::Add;
    }
    return std::nullopt;
}

// Options that belong to another command.
bool OptionsFit(const QCommandLineParser& parser, Command command) {
    for (const QString& name : parser.optionNames()) {
        const bool fits = (command == Command::Add && kAddOptions.contains(name)) ||
                          (command == Command::Dump && name == QStringLiteral("show-passwords"));
        if (!fits) {
            Complain(QStringLiteral("此命令没有选项 --%1").arg(name));
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<ToolArguments> ParseArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    DefineOptions(parser);
    if (!parser.parse(arguments)) {
        Complain(parser.errorText() + QStringLiteral("（rdp-store --help 显示用法）"));
        return std::nullopt;
    }
    ToolArguments args;
    if (parser.isSet(QStringLiteral("help"))) {
        return args;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        args.command = Command::Version;
        return args;
    }
    const QStringList positional = parser.positionalArguments();
    const std::optional<Command> command =
        positional.isEmpty() ? std::nullopt : CommandNamed(positional[0]);
    if (!command || positional.size() != 2) {
        Complain(
            QStringLiteral("用法：rdp-store dump|check|add FILE ...（rdp-store --help 显示用法）"));
        return std::nullopt;
    }
    args.command = *command;
    args.file = positional[1];
    args.showPasswords = parser.isSet(QStringLiteral("show-passwords"));
    if (!OptionsFit(parser, args.command) ||
        (args.command == Command::Add && !ReadProfile(parser, args.profile))) {
        return std::nullopt;
    }
    return args;
}

QString HelpText() {
    return QStringLiteral(
        "用法：rdp-store <命令> FILE [选项]\n"
        "查看、检查和准备远程桌面启动器的连接设置文件（WinEx.DLL）。\n"
        "\n"
        "命令：\n"
        "  dump FILE [--show-passwords]\n"
        "      逐行显示解码后的内容：先是文件头，然后每个连接一行，到第一个空行为止。\n"
        "      密码显示为 ***，除非给出 --show-passwords。\n"
        "  check FILE\n"
        "      检查每一行的校验数字和内容。\n"
        "  add FILE --name 名称 --server 主机 --port 端口 [--user 用户名]\n"
        "      [--save-password [--password-stdin]] [--size 0-4] [--color 0-4] [--audio 0-2]\n"
        "      添加一个连接（其余设置为新建连接的默认值）并设为选中的连接，\n"
        "      然后整体保存文件；FILE 不存在时新建。名称不区分大小写，不得重复；\n"
        "      名称、服务器和用户名不得包含制表符、回车、换行等控制字符。\n"
        "      --save-password：保存密码。只给这一项时在终端中输入密码（不显示）；\n"
        "      加 --password-stdin 时从标准输入读取第一行作为密码，例如：\n"
        "          printf '%s\\n' \"$PW\" | rdp-store add FILE ... --save-password "
        "--password-stdin\n"
        "      --password 密码：仍可使用，但命令运行期间本机的其他用户用 ps 能看到它，\n"
        "      不要使用。\n"
        "      --size：0 最大屏幕，1 1280x768，2 1024x768，3 800x600，4 最大屏幕(宽屏)\n"
        "      --color：0 256 色，1 增强色(15 位)，2 16 位，3 24 位，4 32 位\n"
        "      --audio：0 带到这台计算机播放，1 不要播放，2 留在远程计算机播放\n"
        "      另一个程序正在保存同一文件时，最多等待 20 秒。\n"
        "\n"
        "  -h, --help      显示本帮助\n"
        "  -v, --version   显示版本\n"
        "\n"
        "读取文件的命令从不新建、移动或删除文件。损坏的文件：dump 显示损坏行之前的内容，\n"
        "并在标准错误输出中指出第一个损坏的行。\n"
        "退出码：0 成功；2 文件不存在或已损坏、参数无效、名称重复或保存失败。\n");
}

} // namespace rdp::tool
