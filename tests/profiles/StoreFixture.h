#pragma once

#include "profiles/ConnectParaStore.h"

#include "common/TextCodec.h"

#include "tests/support/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

// A program folder and a state folder of their own for every test, and the store in it. The
// store tells the user nothing itself: every test ends without a message shown.
class StoreTest : public ::testing::Test {
public:
    using Failure = RDP_basClient::StoreResult::Failure;

    StoreTest() {
        fake.programFolder = programDir.path();
        fake.systemFolder = stateDir.path() + QLatin1Char('/');
    }
    void TearDown() override {
        EXPECT_TRUE(fake.messages.isEmpty()) << "the store showed a message";
    }

    QString StorePath() const { return fake.programFolder + QStringLiteral("/WinEx.DLL"); }

    static QString U(const char* utf8) { return QString::fromUtf8(utf8); }

    // A store whose lines are the given decoded texts, each encoded.
    static QByteArray Encoded(const QStringList& lines, const char* lineEnd = "\r\n") {
        QByteArray content;
        for (const QString& line : lines) {
            content += rdp::codec::EncodeLine(line) + lineEnd;
        }
        return content;
    }

protected:
    static void PutFile(const QString& path, const QByteArray& content) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    void PutStore(const QByteArray& content) { PutFile(StorePath(), content); }

    static QByteArray FileBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray StoreBytes() const { return FileBytes(StorePath()); }

    // The decoded lines of the store as it is now.
    QStringList StoreLines() const {
        RDP_ConnectPara scratch;
        QStringList lines;
        RDP_basClient::ReadConnectParaFile(StorePath(), scratch, &lines);
        return lines;
    }

    // The permission bits of a file, 0 when it is missing.
    static unsigned ModeOf(const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
    }

    QStringList FilesIn(const QTemporaryDir& dir) const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    rdp::test::FakePlatform fake;
    QTemporaryDir programDir;
    QTemporaryDir stateDir;
};
