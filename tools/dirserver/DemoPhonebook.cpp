#include "DemoPhonebook.h"

#include "core/ProgramFolder.h"
#include "directory/PhonebookFile.h"
#include "directory/PhonebookRecord.h"

#include <QDate>
#include <QFileInfo>
#include <algorithm>

bool writeDemoPhonebook(const QString& path, const QVector<dirserver::Subscriber>& directory, int favourites,
                        QString* error)
{
    if (QFileInfo::exists(path))
        return true;
    QVector<PhonebookRecord> records;
    records.reserve(directory.size());
    for (int i = 0; i < directory.size(); ++i) {
        PhonebookRecord record;
        record.setNumber(QString::number(directory[i].number));
        record.setName(QString::fromLatin1(directory[i].name));
        record.SubsNr = qint16(i + 1);
        record.ChangeDate = QDate::currentDate().toString("dd.MM.yyyy");
        records << record;
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const PhonebookRecord& a, const PhonebookRecord& b) { return a.Name < b.Name; });
    // Marks spread over the alphabet; every third favourite also receives
    // broadcasts.
    const int step = favourites > 0 ? std::max<int>(1, int(records.size()) / favourites) : 1;
    for (int n = 0; n < favourites && n * step < records.size(); ++n) {
        records[n * step].Check = 1;
        records[n * step].RsGr2 = n % 3 == 0 ? 1 : 0;
    }
    for (int i = 0; i < records.size(); ++i)
        records[i].ID = qint16(i + 1);
    return writeDirectoryFiles(DirectoryFiles::in(ProgramFolder(QFileInfo(path).absolutePath())), records, error);
}
