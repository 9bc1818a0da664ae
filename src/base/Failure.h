// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

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
    CannotDelete,
    BadNumber,
    FileEndsEarly,
    Cancelled,
};

QString failureDescription(FailureKind kind);

class Failure : public std::exception
{
public:
    explicit Failure(FailureKind kind) : m_kind(kind) {}
    FailureKind kind() const { return m_kind; }
    QString description() const { return failureDescription(m_kind); }
    const char* what() const noexcept override { return "senrokan::Failure"; }

private:
    FailureKind m_kind;
};

} // namespace senrokan
