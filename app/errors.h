#pragma once
// The error value every failing routine throws: a number, a source and a description,
// shaped like the classic automation error so the error boxes read as users expect.

#include <QString>
#include <exception>

namespace orv {

// The common dialog's cancel error: ends a routine silently.
inline constexpr int kErrCancel = 32755;
// A picture that cannot be read.
inline constexpr int kErrBadPicture = 20101;
// File not found.
inline constexpr int kErrFileNotFound = 53;
// CabFile: no cabinet name set (&H800407A4).
inline constexpr int kErrNoCabName = static_cast<int>(0x800407A4u);
// TransForm errors (&H800409D0).
inline constexpr int kErrTransForm = static_cast<int>(0x800409D0u);

class AppError : public std::exception {
public:
    AppError(int number, QString source, QString description)
        : number_(number), source_(std::move(source)), description_(std::move(description)),
          what_(description_.toUtf8()) {}

    int number() const noexcept { return number_; }
    const QString& source() const noexcept { return source_; }
    const QString& description() const noexcept { return description_; }
    bool isCancel() const noexcept { return number_ == kErrCancel; }
    const char* what() const noexcept override { return what_.constData(); }

    static AppError cancelled() { return AppError(kErrCancel, "Orvantis", "Cancel was selected."); }

private:
    int number_;
    QString source_;
    QString description_;
    QByteArray what_;
};

} // namespace orv
