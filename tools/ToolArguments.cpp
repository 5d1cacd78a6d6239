#include "tools/ToolArguments.h"

#include "common/TextHelpers.h"
#include "profiles/PortNumber.h"

#include <QCommandLineParser>

namespace rdp::tool {

namespace {

const QStringList kAddOptions{
    QStringLiteral("name"), QStringLiteral("server"),   QStringLiteral("port"),
    QStringLiteral("user"), QStringLiteral("password"), QStringLiteral("save-password"),
    QStringLiteral("size"), QStringLiteral("color"),    QStringLiteral("audio")};

void DefineOptions(QCommandLineParser& parser) {
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")}, QString()});
    parser.addOption({QStringLiteral("show-passwords"), QString()});
    for (const QString& name : kAddOptions) {
        const bool isFlag = name == QStringLiteral("save-password");
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

bool ReadProfile(const QCommandLineParser& parser, NewProfile& p) {
    p.name = Trimmed(parser, QStringLiteral("name"));
    p.server = Trimmed(parser, QStringLiteral("server"));
    p.port = Trimmed(parser, QStringLiteral("port"));
    p.user = Trimmed(parser, QStringLiteral("user"));
    p.savePassword = parser.isSet(QStringLiteral("save-password"));
    if (parser.isSet(QStringLiteral("password"))) {
        p.password = parser.value(QStringLiteral("password")); // exactly as typed
    }
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
    if (p.password && !p.savePassword) {
        Complain(QStringLiteral("--password 须与 --save-password 同用，否则密码不会保存"));
        return false;
    }
    return ReadCode(parser, QStringLiteral("size"), 0, 4, p.size) &&
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
        "      [--password 密码 --save-password] [--size 0-4] [--color 0-4] [--audio 0-2]\n"
        "      添加一个连接（其余设置为新建连接的默认值）并设为选中的连接，\n"
        "      然后整体保存文件；FILE 不存在时新建。名称不区分大小写，不得重复。\n"
        "      --size：0 最大屏幕，1 1280x768，2 1024x768，3 800x600，4 最大屏幕(宽屏)\n"
        "      --color：0 256 色，1 增强色(15 位)，2 16 位，3 24 位，4 32 位\n"
        "      --audio：0 带到这台计算机播放，1 不要播放，2 留在远程计算机播放\n"
        "\n"
        "  -h, --help      显示本帮助\n"
        "  -v, --version   显示版本\n"
        "\n"
        "读取文件的命令从不新建、移动或删除文件。损坏的文件：dump 显示损坏行之前的内容，\n"
        "并在标准错误输出中指出第一个损坏的行。\n"
        "退出码：0 成功；2 文件不存在或已损坏、参数无效、名称重复或保存失败。\n");
}

} // namespace rdp::tool
