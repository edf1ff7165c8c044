#include "link/ShowDataText.h"

ShowDataEdit prepareShowData(const QString& received)
{
    ShowDataEdit edit;
    QString text = received;

    // Backspaces, from the first one on: each one at the head of the text
    // marks the window's last character for replacement; any other one
    // removes itself and the character before it.
    for (int i = text.indexOf(QChar(8)); i >= 0; i = text.indexOf(QChar(8), std::max(0, i - 1))) {
        if (i == 0) {
            edit.replaceLastChar = true;
            text.remove(0, 1);
        } else {
            text.remove(i - 1, 2);
        }
    }

    text.remove(QChar(10));

    QString withLineFeeds;
    withLineFeeds.reserve(text.size() + text.count(QChar(13)));
    for (const QChar c : std::as_const(text)) {
        withLineFeeds += c;
        if (c == QChar(13))
            withLineFeeds += QChar(10);
    }
    edit.insert = withLineFeeds;
    return edit;
}
