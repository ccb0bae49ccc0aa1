#pragma once

#include <QString>
#include <exception>
#include <string>

// Raised when a caller assigns one of the folder browse control's read-only properties.
// The number tells design time from run time, as containers of the control expect.
class FolderBrowseError : public std::exception {
public:
    static constexpr int SetNotSupportedAtRunTime = 382;
    static constexpr int SetNotPermitted = 387; // at design time

    FolderBrowseError(int number, const QString& property);

    [[nodiscard]] int Number() const noexcept { return number_; }
    [[nodiscard]] QString Property() const { return property_; }
    [[nodiscard]] const char* what() const noexcept override { return message_.c_str(); }

private:
    int number_;
    QString property_;
    std::string message_;
};
