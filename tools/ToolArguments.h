#pragma once

#include "tools/StoreCommands.h"

#include <QStringList>

namespace rdp::tool {

enum class Command { Help, Version, Dump, Check, Add };

struct ToolArguments {
    Command command = Command::Help;
    QString file;
    bool showPasswords = false;
    NewProfile profile;
};

// Reads the command line (without checking files); on a mistake says what is wrong on
// stderr and gives no value.
std::optional<ToolArguments> ParseArguments(const QStringList& arguments);

QString HelpText();

} // namespace rdp::tool
