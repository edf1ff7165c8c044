#include "text/TelexText.h"

#include "text/Transliteration.h"
#include "text/WrapText.h"

std::optional<QString> telexFileText(const QString& text, const std::function<bool()>& keepGoing)
{
    std::optional<QString> letters = transliterateText(text, keepGoing);
    if (!letters)
        return std::nullopt;
    std::optional<QString> wrapped = wrapText(*letters, kTelexLineWidth, keepGoing);
    letters.reset();
    if (!wrapped)
        return std::nullopt;
    QString content = *std::move(wrapped);
    content += QStringLiteral("\r\n"); // in place: the wrapped text has room for it
    return content;
}
