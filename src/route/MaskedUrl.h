// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace senrokan
{

// The stand-in for a hidden secret.
inline const QString HiddenText = QStringLiteral("****");

// A URL as text fit for lists, messages and logs: its password and the values of token-like
// query keys (token, key, apikey, api_key, password, in any letter case) shown as HiddenText.
QString maskedUrlText(const QUrl& url);

// The text with every URL in it replaced by mask of its text (maskedUrlText when none is given),
// and every value of a token-like query key hidden whatever the address around it looks like,
// for what a program or library says while it quotes an address.
QString urlsMaskedIn(const QString& text,
                     const std::function<QString(const QString&)>& mask = nullptr);

} // namespace senrokan
