#include "prepared/Headlines.h"

#include "core/DateText.h"
#include "core/TextFiles.h"
#include "core/VbText.h"

#include <cmath>
#include <limits>

namespace headlines {

namespace {

// One layout as it stands after installation. The owner's line and the
// routing line are samples that match the station id of the shipped
// configuration; the user replaces them with his own.
const QStringList kLayoutDefaults = {
    QStringLiteral("Stazione telescrivente di"),
    QStringLiteral("12345 vornak d, Lugano, Switzerland"),
    QStringLiteral("Quillnet Nr."),
    QStringLiteral("12345"),
    QStringLiteral("Data:"),
    QStringLiteral("dd/mm/yyyy"),
    QStringLiteral("Ora:"),
    QStringLiteral("00:00:00"),
    QStringLiteral("soggetto:"),
    QString(),
    QStringLiteral("via 54321 relay d"),
};

// Which fields of a layout make up each of its three lines.
struct LineSpan {
    int first;
    int count;
};
constexpr LineSpan kLines[] = {{0, 2}, {2, 6}, {8, 3}};

QString joinLine(const QStringList& parts, bool trim)
{
    QStringList texts;
    for (const QString& part : parts)
        texts << (trim ? trimBlanks(part) : part);
    return texts.join(' ');
}

} // namespace

QStringList defaultFields()
{
    QStringList fields;
    for (int layout = 0; layout < kLayoutCount; ++layout)
        fields << kLayoutDefaults;
    fields << QString();
    return fields;
}

QStringList fieldsFromFileText(const QString& text)
{
    QStringList fields = defaultFields();
    const QStringList lines = splitLines(text);
    std::optional<QString> ownerNumber;
    for (int k = 0; k < kFieldCount && k < lines.size(); ++k) {
        fields[k] = lines[k];
        if (k % kFieldsPerLayout == kOwnerNumber && k < kSelectField)
            ownerNumber = lines[k];
    }
    if (ownerNumber) {
        for (int layout = 0; layout < kLayoutCount; ++layout)
            fields[layout * kFieldsPerLayout + kOwnerNumber] = *ownerNumber;
    }
    return fields;
}

QString fileText(const QStringList& fields)
{
    QString text;
    for (int k = 0; k < kFieldCount; ++k)
        text += fields.value(k) + "\r\n";
    return text;
}

std::optional<int> layoutBase(int select)
{
    if (select < 0 || select >= kLayoutCount)
        return std::nullopt;
    return select * kFieldsPerLayout;
}

int selectFromField(const QString& text)
{
    const double value = std::nearbyint(leadingNumber(text)); // default rounding: half to even
    if (!std::isfinite(value) || value < std::numeric_limits<int>::min()
        || value > std::numeric_limits<int>::max())
        return -1;
    return int(value);
}

QList<QStringList> layoutLines(const QStringList& fields, int base)
{
    QList<QStringList> lines;
    for (const LineSpan& span : kLines)
        lines << fields.mid(base + span.first, span.count);
    return lines;
}

QStringList previewLines(const QStringList& fields, int select)
{
    QStringList preview = {QStringLiteral(" "), kRuler, QStringLiteral(" ")};
    if (const auto base = layoutBase(select)) {
        for (const QStringList& line : layoutLines(fields, *base))
            preview << joinLine(line, false);
    }
    return preview;
}

QString headlineFileText(const QStringList& fields, int select)
{
    QString text;
    if (const auto base = layoutBase(select)) {
        for (const QStringList& line : layoutLines(fields, *base))
            text += joinLine(line, true) + "\r\n";
    }
    return text;
}

QColor colourFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

std::optional<QColor> layoutColour(int select)
{
    static const quint32 kColours[kLayoutCount] = {0xC0E0FF, 0xFFFFC0, 0xFFC0C0};
    if (!layoutBase(select))
        return std::nullopt;
    return colourFromBgr(kColours[select]);
}

void stampDateTime(QStringList& fields, const QDateTime& when, const QString& datePattern)
{
    const QString date = formatDateText(when, datePattern);
    const QString time = formatDateText(when, QStringLiteral("hh:mm:ss"));
    for (int layout = 0; layout < kLayoutCount; ++layout) {
        fields[layout * kFieldsPerLayout + kDate] = date;
        fields[layout * kFieldsPerLayout + kTime] = time;
    }
}

QString trimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == ' ')
        ++first;
    while (last > first && text[last - 1] == ' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace headlines
