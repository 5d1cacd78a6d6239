#include "app/RDP_basApp.h"

#include "common/CodePage936.h"
#include "common/FileLines.h"
#include "common/PathHelpers.h"
#include "common/Platform.h"
#include "common/RegularFile.h"
#include "common/ShowMsg.h"

#include <algorithm>

namespace RDP_basClient {

namespace {

bool IsVolumeRoot(const QString& folder) {
    const QString root = RDP_basFile::GetPathDrive(folder) + QLatin1Char('/');
    return folder.compare(root, Qt::CaseInsensitive) == 0;
}

bool IsDesktopFolder(const QString& folder) {
    return folder.right(2).compare(QStringLiteral("桌面"), Qt::CaseInsensitive) == 0;
}

// The folder as a line of the record reads back: code page 936 has no "?" for what it lacks.
QString AsRecorded(const QString& folder) {
    return rdp::FromCodePage936(rdp::ToCodePage936(folder));
}

// Adds the folder to the record once. A folder that no line can hold as itself (a character
// code page 936 lacks, a line break) is not recorded: it would never be found again.
void RecordRunLocation(const QString& folder) {
    if (RDP_basFile::GetSystemPath().isEmpty()) {
        rdp::Warn(QStringLiteral("找不到用户的主文件夹，无法记录程序的运行位置。"));
        return;
    }
    const QString record = RunLocationFilePath();
    if (rdp::KindOf(record) == rdp::FileKind::Special) {
        rdp::Warn(rdp::NotRegularFileError(record).description());
        return;
    }
    const bool faithful = AsRecorded(folder) == folder && !folder.contains(QLatin1Char('\n')) &&
                          !folder.contains(QLatin1Char('\r'));
    if (!faithful) {
        return;
    }
    const QStringList known = ReadRunLocations();
    const bool recorded = std::any_of(known.begin(), known.end(), [&](const QString& line) {
        return line.compare(folder, Qt::CaseInsensitive) == 0;
    });
    if (!recorded) {
        // A failed write has shown its own message; start-up goes on.
        RDP_basFile::WriteFileLine(record, false, folder, false);
    }
}

} // namespace

QString RunLocationFilePath() {
    return RDP_basFile::GetSystemPath() + QStringLiteral("WinClientPath.DLL");
}

QStringList ReadRunLocations() {
    QString content;
    try {
        // Read and decoded once: no byte of a double-byte character is a line end.
        content = rdp::FromCodePage936(rdp::ReadRegularFile(RunLocationFilePath()));
    } catch (const rdp::Error&) {
        return {}; // missing or unreadable: nothing recorded yet
    }
    QStringList lines;
    for (QStringView line : QStringView(content).split(u'\n')) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        if (line.isEmpty()) {
            break;
        }
        lines.append(line.toString());
    }
    return lines;
}

bool CheckRunLocation() {
    const QString folder = rdp::platform().ProgramFolder();
    if (IsVolumeRoot(folder)) {
        rdp::Warn(QStringLiteral("由于系统安全性问题，请不要在") + folder +
                  QStringLiteral("运行。"));
        return false;
    }
    if (IsDesktopFolder(folder)) {
        rdp::Warn(QStringLiteral("由于系统安全性问题，请不要在桌面运行。"));
        return false;
    }
    RecordRunLocation(folder);
    return true;
}

} // namespace RDP_basClient
