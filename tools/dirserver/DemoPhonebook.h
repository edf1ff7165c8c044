#pragma once

#include "DirServer.h"

#include <QString>
#include <QVector>

// A phonebook.txt for the demo, as a directory update from this server
// would leave it, with some subscribers already marked as favourites and
// broadcast receivers, so the favourites panel has something to dial.
// Writes nothing when the file exists already.
bool writeDemoPhonebook(const QString& path, const QVector<dirserver::Subscriber>& directory, int favourites,
                        QString* error);
