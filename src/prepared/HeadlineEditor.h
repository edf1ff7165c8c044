#pragma once

#include <QObject>
#include <QStringList>
#include <array>

#include "core/Operations.h"
#include "prepared/Headlines.h"

class CommandLabel;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QWidget;
class CommandHost;

// The headline editor: a panel over the terminal text window with the three
// headline layouts, the choice of layout, a preview against a column ruler,
// and on exit the two headline files. The panel is the window's
// frameHeadLine; the editor fills it with its controls.
class HeadlineEditor : public QObject {
    Q_OBJECT
public:
    // Makes the panel frameHeadLine on the host's desk (hidden) and the
    // command "Edit Headline"; `refreshLists` runs after a successful exit
    // to bring the favourites panel up to date.
    HeadlineEditor(CommandHost& host, ListsRefresher refreshLists, QObject* parent = nullptr);

    // Opens the panel: fields from "\Headlines.txt", today's date month first
    // and the time, the layout number from the file.
    void lblHeadlineEditor_Click();
    // Fills and shows the preview of the chosen layout.
    void lblView_Click();
    // Hides the preview.
    void lblClsPreview_Click();
    // Saves every field to "\Headlines.txt", writes the chosen layout to
    // "\Headline1.txt" with today's date day first, and closes the panel.
    // When a file cannot be written the user is told, the panel stays as it
    // is and the result is false.
    bool lblExitHeadlineEditor_Click();
    // A layout button was clicked.
    void Option1_Click(int index);

    // The texts of all 34 fields.
    QStringList fields() const;

    QWidget* frameHeadLine;
    QLabel* Label14;
    QLabel* lblInfoHeadlines;
    std::array<QLineEdit*, headlines::kFieldCount> txtHeadlines{};
    std::array<QRadioButton*, headlines::kLayoutCount> Option1{};
    QListWidget* lstHeadlines;
    CommandLabel* lblHeadlineEditor;
    CommandLabel* lblView;
    CommandLabel* lblClsPreview;
    CommandLabel* lblExitHeadlineEditor;

private:
    void buildPanel();
    void buildLayoutRows(int layout, int top);
    // Fields from the file, the date and time, the layout number.
    void loadFields();
    void setFields(const QStringList& texts);
    void stampDateTime(const QString& datePattern);
    void showSelection();
    // Gives the owner-number field's text to the same field of the other layouts.
    void keepOwnerNumbersEqual(int changedField);
    bool write(const QString& name, const QString& text);

    CommandHost& m_host;
    ListsRefresher m_refreshLists;
    QButtonGroup* m_options;
    // The fields have been read from the file in this run.
    bool m_loaded = false;
    bool m_syncingOwnerNumber = false;
};
