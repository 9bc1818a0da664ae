// Coding detection and conversion as the check does them, on both paths: the socket's text
// decoded in two arrival pieces (path A) and the fetched bytes (path B).
#include "FuzzInput.h"

#include "codec/Converter.h"
#include "codec/DeclaredCoding.h"
#include "codec/Kconv.h"
#include "route/Failure.h"

using namespace senrokan;

namespace
{

QString converted(const QString& text, const QByteArray& bytes)
{
    switch (classifyDeclaration(findDeclaredCoding(text))) {
    case PageCoding::Utf8:
        return ConvertPageText(Kconv(bytes, 3, 5));
    case PageCoding::EucJp:
        return ConvertPageText(Kconv(bytes, 3, 2));
    case PageCoding::Iso2022Jp:
        return ConvertPageText(text);
    case PageCoding::ShiftJis:
    case PageCoding::NotRecognised:
        break;
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    try {
        Converter socket(coding::Cp932);
        const qsizetype cut = bytes.size() / 2;
        const QString text =
            socket.decode(bytes.first(cut), false) + socket.decode(bytes.sliced(cut), true);
        // Arrival in pieces must not change the text.
        fuzz::require(text == Kconv(bytes, 3, 0));
        converted(text, bytes);

        const QString declaration = findDeclaredCoding(text);
        fuzz::require(!declaration.startsWith(QLatin1Char(' ')) &&
                      !declaration.endsWith(QLatin1Char(' ')));
        fuzz::require(!declaration.contains(QLatin1Char('"')));
        // Text without escape characters passes the escape decoder unchanged.
        if (!text.contains(QChar(0x1b)))
            fuzz::require(ConvertPageText(text) == text);
    } catch (const Failure&) {
        // The check's error trap takes these.
    }
    return 0;
}
