#include "app/CommandLine.h"

CommandLineSwitches parseCommandLine(const QStringList& arguments)
{
    CommandLineSwitches result;
    QStringList words;
    for (const QString& argument : arguments)
        words += argument.split(' ', Qt::SkipEmptyParts);
    if (words.size() > CommandLineSwitches::kMaxWords) {
        result.problem = QStringLiteral("The command line holds %1 words; only the first %2 are used "
                                        "(\"%3\" and the words after it are ignored).")
                             .arg(words.size()).arg(CommandLineSwitches::kMaxWords)
                             .arg(words[CommandLineSwitches::kMaxWords]);
        words = words.mid(0, CommandLineSwitches::kMaxWords);
    }
    result.words = words;
    return result;
}
