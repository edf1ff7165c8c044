#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;

// A telex on paper, for the printer and for PDF files: the text in the
// teleprinter font, 68 columns to the line, on the paper picture or on
// plain white, each page headed by one line (date, time and the message's
// first line) and its page number. The text goes onto the page as text, so
// a PDF can be searched and copied from.
struct TelexSheet {
    QString header; // "2026-08-24 14:03:22  ZCZC weather"
    QString text;   // as the window shows it (CR LF line ends)
    QFont font;     // the family and weight of the teleprinter font; the size follows the page
    QImage paper;   // the paper picture; a null picture: plain white
};

namespace telexpaper {

constexpr int kColumns = 68;

// The text's lines as they stand on paper: at most kColumns characters
// each (a longer line goes on on the next line), a tab as a blank, other
// control characters left out, trailing empty lines dropped.
QStringList paperLines(const QString& text, int columns = kColumns);

// The header of a message's sheet: its start and its first line.
QString headerLine(const QDateTime& time, const QString& firstLine);

// Puts the sheet on the device's pages (A4 or what the printer was set
// to); returns the number of pages.
int paint(QPagedPaintDevice& device, const TelexSheet& sheet);

// Writes the sheet as a PDF file, under a temporary name first and renamed
// over `path` once whole; false, with the reason, when it cannot.
bool writePdf(const QString& path, const TelexSheet& sheet, QString* error);

} // namespace telexpaper
