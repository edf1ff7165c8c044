#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// The headline texts without any widget: three layouts of eleven fields each
// plus the field that remembers the chosen layout, how they are read from and
// written to "\Headlines.txt", and the three lines a layout becomes.
namespace headlines {

constexpr int kFieldCount = 34;
constexpr int kLayoutCount = 3;
constexpr int kFieldsPerLayout = 11;
// The field that holds the chosen layout number as text.
constexpr int kSelectField = 33;

// Offsets inside a layout.
constexpr int kOwnerNumber = 3; // the owner's network number, the same in every layout
constexpr int kDate = 5;
constexpr int kTime = 7;

// The column ruler shown above the preview: 67 columns.
inline const QString kRuler = QStringLiteral("123456789+123456789+12345678+123456789+123456789+123456789+12345678");

// The fields of a first start: three identical layouts and no layout number.
QStringList defaultFields();

// The fields after reading "\Headlines.txt": line k+1 is field k; fields the
// text has no line for keep their defaults. The owner number ends up the same
// in all three layouts, taken from the last of its fields the text supplied.
QStringList fieldsFromFileText(const QString& text);

// The text of "\Headlines.txt": the 34 fields, CR LF after each.
QString fileText(const QStringList& fields);

// The first field of a layout, or nothing when the number is no layout.
std::optional<int> layoutBase(int select);

// The layout number a field text stands for: its leading number rounded to a
// whole number (half-way to the even neighbour); -1 when out of range.
int selectFromField(const QString& text);

// The three lines of a layout, each the list of its field texts.
QList<QStringList> layoutLines(const QStringList& fields, int base);

// The preview: a blank line, the ruler, a blank line, then the three lines of
// the chosen layout joined with one blank and kept untrimmed. Only the ruler
// block when the number is no layout.
QStringList previewLines(const QStringList& fields, int select);

// The text of "\Headline1.txt": the three lines of the chosen layout, every
// field stripped of its leading and trailing blanks and joined with one blank,
// CR LF after each. Empty when the number is no layout.
QString headlineFileText(const QStringList& fields, int select);

// The background colour of the preview for a layout.
std::optional<QColor> layoutColour(int select);

// A colour written as 0xBBGGRR (blue in the high byte).
QColor colourFromBgr(quint32 bgr);

// Puts the date (in the given pattern) and the time "hh:mm:ss" into the date
// and time fields of every layout.
void stampDateTime(QStringList& fields, const QDateTime& when, const QString& datePattern);

// Leading and trailing blanks removed; other white space is kept.
QString trimBlanks(const QString& text);

} // namespace headlines
