#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>

namespace RDP_basPublic {

// The payload digits of a text: every UTF-16 code unit as its low byte and then its high
// byte, each three decimal digits (ASCII "a" is 097000, "中" is 045078). Characters that
// code page 936 lacks, the euro sign and lone surrogates are kept by their UTF-16 bytes as
// well, so every text comes back whole. Empty text gives empty digits.
QString EncodeText(const QString& text);

// The text of payload digits: groups of three digits (a shorter last group as it is) are
// bytes of little-endian UTF-16; an odd last byte is a code unit with high byte 0. Throws
// rdp::Error: overflow for a group above 255, type mismatch for a group holding anything
// but digits.
QString DecodeText(const QString& digits);

// Mode 0: the text, trimmed of spaces, followed by its six-digit check (the sum of its
// digits). Mode 1: the text, trimmed, without its last six characters when they equal the
// check of the rest, else empty text; a trimmed text shorter than six characters throws
// rdp::Error (invalid argument). Empty (or blank) text gives empty text; other modes too.
QString CheckSumText(std::uint8_t mode, const QString& text);

} // namespace RDP_basPublic

namespace rdp::codec {

// The largest digit sum a six-digit check can hold.
inline constexpr int MaxCheckSum = 999999;

// Statuses of reading one line.
inline constexpr int StatusOk = 0;
inline constexpr int StatusUnreadable = -1;
inline constexpr int StatusCheckFailed = -2;

// The encoded line of a text: payload digits and check, without line end (empty for empty
// text). Throws rdp::Error (overflow) when the digit sum would pass MaxCheckSum, since such
// a line could never be verified.
QByteArray EncodeLine(QStringView text);
// The same, appended to `out` (left as it was when it throws).
void AppendEncodedLine(QByteArray& out, QStringView text);

// Verifies and decodes one encoded line (without its line end): status 0 with the text;
// -2 (text empty) when a non-empty line fails its check or verifies to nothing; -1 (text
// untouched) when the trimmed line is shorter than six characters or its payload holds a
// group above 255 or anything but digits. The byte form takes ASCII lines only.
int DecodeLine(QStringView line, QString& text);
int DecodeLine(QByteArrayView asciiLine, QString& text);

} // namespace rdp::codec
