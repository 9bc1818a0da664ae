// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QTest>

namespace senrokan::test
{

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool Sanitized = true;
#elif defined(__has_feature)
inline constexpr bool Sanitized = __has_feature(address_sanitizer);
#else
inline constexpr bool Sanitized = false;
#endif

} // namespace senrokan::test

// Ends the test (or the row) here, as skipped, in a sanitized build: AddressSanitizer's shadow
// memory and quarantine take hundreds of megabytes of their own, so memory figures tell nothing
// of the program. Placed after every other assertion, so that those still run.
#define SKIP_MEMORY_BOUNDS_WHEN_SANITIZED()                                                       \
    do {                                                                                          \
        if (senrokan::test::Sanitized)                                                            \
            QSKIP("memory bounds not checked: the sanitizers' own memory would break them");     \
    } while (false)
