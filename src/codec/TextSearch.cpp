#include "TextSearch.h"

#include "route/Failure.h"

#include <unicode/ucol.h>
#include <unicode/usearch.h>

#include <memory>

namespace senrokan {

namespace {

struct CollatorDeleter {
    void operator()(UCollator* c) const { ucol_close(c); }
};
struct SearchDeleter {
    void operator()(UStringSearch* s) const { usearch_close(s); }
};

// Built once: opening a tailored collator costs far more than a search.
const UCollator* japaneseCollator()
{
    static const std::unique_ptr<UCollator, CollatorDeleter> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* c = ucol_open("ja", &status);
        if (U_FAILURE(status))
            throw Failure(FailureKind::ConversionFailed, QStringLiteral("ICU ja collator"));
        ucol_setStrength(c, UCOL_SECONDARY);
        return std::unique_ptr<UCollator, CollatorDeleter>(c);
    }();
    return collator.get();
}

} // namespace

qsizetype TextSearch::find(QStringView text, QStringView word, qsizetype start)
{
    if (start < 1)
        throw Failure(FailureKind::InvalidArgument, QStringLiteral("search start %1").arg(start));
    if (start > text.size())
        return 0;
    if (word.isEmpty())
        return start;

    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UStringSearch, SearchDeleter> search(usearch_openFromCollator(
        reinterpret_cast<const UChar*>(word.utf16()), int32_t(word.size()),
        reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()),
        japaneseCollator(), nullptr, &status));
    if (U_FAILURE(status))
        throw Failure(FailureKind::ConversionFailed, QStringLiteral("ICU search"));
    const int32_t pos = usearch_following(search.get(), int32_t(start - 1), &status);
    if (U_FAILURE(status))
        throw Failure(FailureKind::ConversionFailed, QStringLiteral("ICU search"));
    return pos == USEARCH_DONE ? 0 : pos + 1;
}

} // namespace senrokan
