#pragma once

#include <QString>

#include <exception>

namespace rdp {

// An error passed on to a caller, with a number and a description for the user.
class Error : public std::exception {
public:
    Error(int number, QString description)
        : number_(number), description_(std::move(description)), utf8_(description_.toUtf8()) {}

    int number() const noexcept { return number_; }
    const QString& description() const noexcept { return description_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    int number_;
    QString description_;
    QByteArray utf8_;
};

// Error numbers, after the classic runtime's.
namespace ErrorNumber {
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int InvalidArgument = 5;
inline constexpr int FileNotFound = 53;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int DeviceIO = 57;
inline constexpr int DiskFull = 61;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidFileFormat = 321; // a store that does not read whole
} // namespace ErrorNumber

// The description that goes with an error number (the classic runtime's wording).
QString ErrorDescription(int number);

// An error of that number with its usual description.
inline Error MakeError(int number) {
    return Error(number, ErrorDescription(number));
}

} // namespace rdp
