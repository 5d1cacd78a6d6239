#include "tools/StoreCommands.h"

#include "profiles/ConnectParaStore.h"
#include "profiles/StoreLock.h"
#include "profiles/StoreTell.h"

#include "common/FileLines.h"
#include "common/RegularFile.h"
#include "common/TextHelpers.h"

#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace rdp::tool {

namespace {

QTextStream& Out() {
    static QTextStream out(stdout);
    return out;
}

// A record line with every non-empty password value replaced by ***.
QString Masked(const QString& line) {
    QStringList items = line.split(QLatin1Char(';'));
    for (QString& item : items) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        if (eq < 0 || RDP_basPublic::TrimSpaces(QStringView(item).first(eq))
                              .compare(u"Password", Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (!RDP_basPublic::TrimSpaces(QStringView(item).sliced(eq + 1)).isEmpty()) {
            item = item.first(eq + 1) + QStringLiteral(" ***");
        }
    }
    return items.join(QLatin1Char(';'));
}

// Reads an existing store; false (after saying why) when it is missing or damaged.
bool ReadStore(const QString& path, RDP_ConnectPara& list, QStringList* lines) {
    if (rdp::KindOf(path) == rdp::FileKind::Special) { // never waited on
        Complain(rdp::NotRegularFileError(path).description());
        return false;
    }
    if (!QFileInfo(path).isFile()) {
        Complain(QStringLiteral("文件不存在：%1").arg(path));
        return false;
    }
    const RDP_basClient::StoreReadResult result =
        RDP_basClient::ReadConnectParaFile(path, list, lines);
    if (result.unreadable) {
        Complain(RDP_basClient::UnreadableStoreMessage(path, result.reason, result.error));
        return false;
    }
    if (result.damaged) {
        if (lines != nullptr) {
            lines->resize(std::min<qsizetype>(lines->size(), result.line - 1));
        }
        Complain(QStringLiteral("%1：第 %2 行已损坏（%3）")
                     .arg(path)
                     .arg(result.line)
                     .arg(result.reason));
        return false;
    }
    return true;
}

// Waits up to 20 seconds for another writer, saying so once after the first second.
class NoticedWait final : public rdp::store::PatientWait {
public:
    rdp::store::WaitChoice Pause(std::chrono::milliseconds waited) override {
        if (!told_ && waited >= std::chrono::seconds(1)) {
            Complain(QStringLiteral("连接设置文件正被另一个程序保存，正在等待（最多 20 秒）……"));
            told_ = true;
        }
        return PatientWait::Pause(waited);
    }

private:
    bool told_ = false;
};

// add, with the store's lock held.
int AddLocked(const QString& path, const NewProfile& profile) {
    RDP_ConnectPara list;
    if (QFileInfo::exists(path) && !ReadStore(path, list, nullptr)) {
        return ExitFailed;
    }
    if (RDP_basClient::FindConnectName(list, profile.name) != 0) {
        Complain(QStringLiteral("\"%1\"已存在，请重新输入连接名称。").arg(profile.name));
        return ExitFailed;
    }
    list.Add(profile.name, profile.server, profile.port, QString(), QString(), 0, 0, 0);
    RDP_ConnectParaItems& p = list.SetDefault(list.SelectIndex());
    p.setUserName(profile.user);
    if (profile.savePassword) {
        p.setIsSavePassword(1);
        p.setPassword(profile.password.value_or(QString()));
    }
    if (profile.size) {
        p.setDesktopSize(static_cast<float>(*profile.size));
    }
    if (profile.color) {
        p.setColorDepth(static_cast<float>(*profile.color));
    }
    if (profile.audio) {
        p.setAudioMode(static_cast<float>(*profile.audio));
    }
    if (!RDP_basClient::TellStoreResult(RDP_basClient::SaveConnectParaLocked(list, path))) {
        return ExitFailed;
    }
    Out() << QStringLiteral("已添加连接\"%1\"（第 %2 个，已选中）：%3")
                 .arg(profile.name)
                 .arg(list.Count())
                 .arg(path)
          << '\n';
    Out().flush();
    return ExitOk;
}

} // namespace

void Complain(const QString& text) {
    const QByteArray line = QStringLiteral("rdp-store: %1\n").arg(text).toUtf8();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
}

int Dump(const QString& path, bool showPasswords) {
    RDP_ConnectPara list;
    QStringList lines;
    const bool ok = ReadStore(path, list, &lines);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Out() << (i == 0 || showPasswords ? lines[i] : Masked(lines[i])) << '\n';
    }
    Out().flush();
    return ok ? ExitOk : ExitFailed;
}

int Check(const QString& path) {
    RDP_ConnectPara list;
    if (!ReadStore(path, list, nullptr)) {
        return ExitFailed;
    }
    Out() << QStringLiteral("%1：正常，%2 个连接，选中第 %3 个")
                 .arg(path)
                 .arg(list.Count())
                 .arg(list.SelectIndex())
          << '\n';
    Out().flush();
    return ExitOk;
}

int Add(const QString& path, const NewProfile& profile) {
    try {
        // Held from reading the store to the rename of the new one: a name another writer
        // adds meanwhile is seen, and nothing another writer saved is lost.
        rdp::store::StoreLock lock(path);
        NoticedWait wait;
        if (lock.Acquire(wait) != rdp::store::StoreLock::Outcome::Locked) {
            Complain(rdp::store::StoreLock::BusyText());
            return ExitFailed;
        }
        return AddLocked(path, profile);
    } catch (const rdp::store::UnreadableLockError& error) {
        Complain(error.description());
        return ExitFailed;
    } catch (const rdp::Error& error) {
        RDP_basFile::ShowWriteFailure(error);
        return ExitFailed;
    }
}

} // namespace rdp::tool
