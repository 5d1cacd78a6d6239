#include "app/RDP_basApp.h"

#include "common/FileLines.h"
#include "common/PathHelpers.h"
#include "common/Platform.h"
#include "common/ShowMsg.h"

#include <algorithm>

namespace RDP_basClient {

namespace {

void Warn(const QString& text) {
    RDP_basPublic::ShowMsg(text, rdp::MsgStyle::Exclamation, rdp::ConnectTitle(), {}, 0, true);
}

bool IsVolumeRoot(const QString& folder) {
    const QString root = RDP_basFile::GetPathDrive(folder) + QLatin1Char('/');
    return folder.compare(root, Qt::CaseInsensitive) == 0;
}

bool IsDesktopFolder(const QString& folder) {
    return folder.right(2).compare(QStringLiteral("桌面"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString RunLocationFilePath() {
    return RDP_basFile::GetSystemPath() + QStringLiteral("WinClientPath.DLL");
}

QStringList ReadRunLocations() {
    const QString record = RunLocationFilePath();
    QStringList lines;
    for (int n = 1;; ++n) {
        QString line;
        if (RDP_basFile::ReadFileLine(record, line, n, false) != 0 || line.isEmpty()) {
            return lines;
        }
        lines.append(line);
    }
}

bool CheckRunLocation() {
    const QString folder = rdp::platform().ProgramFolder();
    if (IsVolumeRoot(folder)) {
        Warn(QStringLiteral("由于系统安全性问题，请不要在") + folder + QStringLiteral("运行。"));
        return false;
    }
    if (IsDesktopFolder(folder)) {
        Warn(QStringLiteral("由于系统安全性问题，请不要在桌面运行。"));
        return false;
    }
    const QStringList known = ReadRunLocations();
    const bool recorded = std::any_of(known.begin(), known.end(), [&](const QString& line) {
        return line.compare(folder, Qt::CaseInsensitive) == 0;
    });
    if (!recorded) {
        // A failed write has shown its own message; start-up goes on.
        RDP_basFile::WriteFileLine(RunLocationFilePath(), false, folder, false);
    }
    return true;
}

} // namespace RDP_basClient
