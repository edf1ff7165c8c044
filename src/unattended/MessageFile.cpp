#include "unattended/MessageFile.h"

#include "core/TextFiles.h"
#include "text/TransmissionFiles.h"

#include <QFile>
#include <algorithm>
#include <cstdio>

namespace {

MessageFile fromStandardInput()
{
    MessageFile message;
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        message.problem = QStringLiteral("standard input cannot be read: %1").arg(input.errorString());
        return message;
    }
    const QByteArray bytes = input.readAll();
    if (input.error() != QFileDevice::NoError) {
        message.problem = QStringLiteral("standard input cannot be read: %1").arg(input.errorString());
        return message;
    }
    if (bytes.contains('\0')) {
        message.problem = QStringLiteral("standard input holds binary data (zero bytes), not text");
        return message;
    }
    message.text = decodeFileBytes(bytes);
    return message;
}

} // namespace

QString withCrLfLineEnds(const QString& text)
{
    QString result;
    result.reserve(text.size() + text.size() / 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            result += QLatin1String("\r\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            result += QLatin1String("\r\n");
        } else {
            result += c;
        }
    }
    return result;
}

MessageFile readMessageFile(const QString& path)
{
    MessageFile message;
    const bool standardInput = path == QLatin1String("-");
    if (standardInput) {
        message = fromStandardInput();
    } else {
        SourceText source = readSourceFile(path);
        if (!source.ok()) {
            // The reasons read as sentences for the window; here they are
            // one line after the path.
            QString reason = source.problem;
            reason.replace(QLatin1String(" Nothing was sent."), QString());
            message.problem = QStringLiteral("%1: %2").arg(path, reason);
            return message;
        }
        message.text = std::move(source.text);
    }
    const bool blank = std::all_of(message.text.cbegin(), message.text.cend(),
                                   [](QChar c) { return c == u' ' || c == u'\r' || c == u'\n' || c == u'\t'; });
    if (message.problem.isEmpty() && blank)
        message.problem = QStringLiteral("%1: the message is empty").arg(standardInput ? "standard input" : path);
    if (message.problem.isEmpty())
        message.text = withCrLfLineEnds(message.text);
    return message;
}
