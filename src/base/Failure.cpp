// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Failure.h"

namespace senrokan
{

QString failureDescription(FailureKind kind)
{
    switch (kind) {
    case FailureKind::InvalidArgument:
        return QStringLiteral("引数が正しくありません。");
    case FailureKind::BadTimeOfDay:
        return QStringLiteral("時刻として読めない値があります。");
    case FailureKind::FetchFailed:
        return QStringLiteral("ページを取得できませんでした。");
    case FailureKind::PageTooLarge:
        return QStringLiteral("ページが大きすぎます。");
    case FailureKind::ConversionFailed:
        return QStringLiteral("文字コードを変換できませんでした。");
    case FailureKind::FileNotFound:
        return QStringLiteral("ファイルが見つかりません。");
    case FailureKind::CannotRead:
        return QStringLiteral("ファイルを読み込めません。");
    case FailureKind::CannotWrite:
        return QStringLiteral("ファイルに書き込めません。");
    case FailureKind::CannotDelete:
        return QStringLiteral("ファイルを削除できません。");
    case FailureKind::BadNumber:
        return QStringLiteral("数値として読めない行があります。");
    case FailureKind::FileEndsEarly:
        return QStringLiteral("ファイルの行が足りません。");
    case FailureKind::Cancelled:
        return QStringLiteral("中断されました。");
    }
    return {};
}

} // namespace senrokan
