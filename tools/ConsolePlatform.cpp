#include "tools/ConsolePlatform.h"

#include "common/DefaultFolders.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace rdp {

QString ConsolePlatform::ProgramFolder() const {
    return ProgramFolderOf(QCoreApplication::applicationDirPath());
}

QString ConsolePlatform::SystemFolder() const {
    return DefaultSystemFolder();
}

int ConsolePlatform::MessageBox(const QString& text, int style, const QString& /*title*/,
                                QObject* /*owner*/) {
    const QByteArray line = QStringLiteral("rdp-store: %1\n").arg(text).toUtf8();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
    switch (style & 0x0F) {
    case 1:
        return MsgResult::Cancel;
    case 4:
        return MsgResult::No;
    default:
        return MsgResult::Ok;
    }
}

void ConsolePlatform::EndProgram() {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(2);
}

} // namespace rdp
