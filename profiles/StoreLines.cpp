#include "profiles/StoreLines.h"

#include "profiles/StoreEscape.h"

#include "common/TextCodec.h"

#include "Version.h"

#include <charconv>

namespace rdp::store {

namespace {

void AddItem(QString& line, QStringView key, QStringView value) {
    line += key;
    line += u" = ";
    line += value;
    line += u"; ";
}

void AddText(QString& line, QStringView key, const QString& value) {
    AddItem(line, key, EscapeValue(value));
}

void AddFlag(QString& line, QStringView key, std::uint8_t value) {
    AddItem(line, key, QString::number(value));
}

void AddCode(QString& line, QStringView key, float value) {
    AddItem(line, key, NumberText(value));
}

} // namespace

QString NumberText(float value) {
    char buffer[32];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString HeaderLine(const RDP_ConnectPara& list) {
    QString line;
    AddItem(line, u"Version",
            QStringLiteral("%1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision));
    AddItem(line, u"SelectIndex", QString::number(list.SelectIndex()));
    return line;
}

QString RecordLine(const RDP_ConnectParaItems& item) {
    QString line;
    line.reserve(320);
    AddText(line, u"ConnectName", item.ConnectName());
    AddText(line, u"UserName", item.UserName());
    AddText(line, u"Password", item.IsSavePassword() == 1 ? item.Password() : QString());
    AddFlag(line, u"IsSavePassword", item.IsSavePassword());
    AddCode(line, u"DesktopSize", item.DesktopSize());
    AddCode(line, u"ColorDepth", item.ColorDepth());
    AddCode(line, u"AudioMode", item.AudioMode());
    AddFlag(line, u"RedirectPrint", item.RedirectPrint());
    AddFlag(line, u"RedirectPorts", item.RedirectPorts());
    AddFlag(line, u"RedirectDrives", item.RedirectDrives());
    AddFlag(line, u"SmartCards", item.SmartCards());
    AddFlag(line, u"BitmapPeristence", item.BitmapPeristence());
    AddFlag(line, u"CanAutoReconnect", item.CanAutoReconnect());
    AddText(line, u"Server", item.Server());
    AddText(line, u"Port", item.Port());
    return line;
}

QByteArray StoreContent(const RDP_ConnectPara& list) {
    return StoreContent(list, StoredProfiles(list));
}

QByteArray StoreContent(const RDP_ConnectPara& list, const std::vector<StoredProfile>& records) {
    QByteArray content;
    content.reserve(qsizetype(list.Count() + 1) * 1700);
    const auto append = [&content](const QString& text) {
        codec::AppendEncodedLine(content, text);
        content += "\r\n";
    };
    append(HeaderLine(list));
    for (const StoredProfile& record : records) {
        append(record.line);
    }
    return content;
}

std::vector<StoredProfile> StoredProfiles(const RDP_ConnectPara& list) {
    std::vector<StoredProfile> stored;
    stored.reserve(static_cast<std::size_t>(list.Count()));
    for (const RDP_ConnectParaItems& item : list) {
        stored.push_back({item.ConnectName(), RecordLine(item)});
    }
    return stored;
}

} // namespace rdp::store
