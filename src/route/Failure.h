#pragma once

#include <QString>
#include <exception>

namespace senrokan
{

// Failures that end a check or a file operation. Each has one short Japanese description, shown
// to the user in message boxes.
enum class FailureKind {
    InvalidArgument,
    BadTimeOfDay,
    FetchFailed,
    PageTooLarge,
    ConversionFailed,
    FileNotFound,
    CannotRead,
    CannotWrite,
    BadNumber,
    FileEndsEarly,
    Cancelled,
};

QString failureDescription(FailureKind kind);

class Failure : public std::exception
{
public:
    explicit Failure(FailureKind kind, QString detail = {})
        : m_kind(kind), m_detail(std::move(detail))
    {
    }
    FailureKind kind() const { return m_kind; }
    QString description() const { return failureDescription(m_kind); }
    // Technical detail for logs and the terminal (a file name, Qt's error string), may be empty.
    const QString& detail() const { return m_detail; }
    const char* what() const noexcept override { return "senrokan::Failure"; }

private:
    FailureKind m_kind;
    QString m_detail;
};

} // namespace senrokan
