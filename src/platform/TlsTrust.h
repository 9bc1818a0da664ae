// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QSslConfiguration>

namespace senrokan
{

// The system's trust store, plus the certificates of the PEM file SSL_CERT_FILE names, the
// variable OpenSSL's own tools read: what every TLS connection of the programs trusts.
QSslConfiguration tlsConfiguration();

} // namespace senrokan
