#include "StoreFixture.h"

#include "common/FileLines.h"

using namespace RDP_basClient;

namespace {

// The store read line by line with ReadFileLine, as the file functions read any file:
// the decoded lines up to the first empty one, and the number of the first line that
// fails (0 for none).
struct LineByLine {
    QStringList lines;
    int failedLine = 0;
};

LineByLine ReadLineByLine(const QString& path) {
    LineByLine result;
    for (int n = 1;; ++n) {
        QString text;
        if (RDP_basFile::ReadFileLine(path, text, n, true) != 0) {
            result.failedLine = n;
            return result;
        }
        if (text.isEmpty()) {
            return result;
        }
        result.lines.append(text);
    }
}

} // namespace

// The loader reads the file once, yet sees exactly the lines that reading it line by line
// gives, and fails at the same line.
TEST_F(StoreTest, OnePassReadsWhatLineByLineReads) {
    const QString h = U("Version = 1.0.0; SelectIndex = 1; ");
    const QString r = U("ConnectName = 中; ");
    const QList<QByteArray> stores{
        Encoded({h, r, r}),
        Encoded({h, r}) + "\r\n" + Encoded({r}),
        Encoded({h, r}, "\n") + "\n\n",
        Encoded({h}) + "123\r\n" + Encoded({r}),
        Encoded({h, r}) + "097000000017\r\n" + Encoded({r}),
        Encoded({h}) + "  " + Encoded({r}).chopped(2) + " \r\r\n",
        Encoded({h}) + "\r" + Encoded({r}),
        QByteArray("\r\n") + Encoded({h}),
        QByteArray("\xD6\xD0\r\n"),
        QByteArray(),
    };
    for (const QByteArray& content : stores) {
        SCOPED_TRACE(content.left(80).toStdString());
        PutStore(content);
        const LineByLine expected = ReadLineByLine(StorePath());
        RDP_ConnectPara list;
        QStringList lines;
        const StoreReadResult result = ReadConnectParaFile(StorePath(), list, &lines);
        EXPECT_EQ(lines, expected.lines);
        EXPECT_EQ(result.damaged, expected.failedLine != 0);
        EXPECT_EQ(result.line, expected.failedLine);
        EXPECT_EQ(list.Count(), std::max<int>(0, lines.size() - 1));
    }
}
