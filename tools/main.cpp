// rdp-store: looks into, checks and prepares profile stores, with the launcher's own code.

#include "tools/ConsolePlatform.h"
#include "tools/PasswordInput.h"
#include "tools/StoreCommands.h"
#include "tools/ToolArguments.h"

#include "Version.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

int Run(const rdp::tool::ToolArguments& args) {
    using rdp::tool::Command;
    QTextStream out(stdout);
    switch (args.command) {
    case Command::Help:
        out << rdp::tool::HelpText();
        return rdp::tool::ExitOk;
    case Command::Version:
        out << "rdp-store " << rdp::VersionText << '\n';
        return rdp::tool::ExitOk;
    case Command::Dump:
        return rdp::tool::Dump(args.file, args.showPasswords);
    case Command::Check:
        return rdp::tool::Check(args.file);
    case Command::Add: {
        rdp::tool::NewProfile profile = args.profile;
        return rdp::tool::ReadPassword(profile) ? rdp::tool::Add(args.file, profile)
                                                : rdp::tool::ExitFailed;
    }
    }
    return rdp::tool::ExitFailed;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    rdp::ConsolePlatform platform;
    rdp::setPlatform(&platform);
    const std::optional<rdp::tool::ToolArguments> args =
        rdp::tool::ParseArguments(QCoreApplication::arguments());
    rdp::tool::HidePasswordArguments(argc, argv); // read now: ps need not show it any longer
    const int code = args ? Run(*args) : rdp::tool::ExitFailed;
    rdp::setPlatform(nullptr);
    return code;
}
