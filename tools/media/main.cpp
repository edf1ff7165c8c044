// vornak-media: makes the pictures and sounds shipped beside the program.
//
//   vornak-media [--scale N] FOLDER
//
// writes Skin-Std.jpg, Skin-Pnk.jpg, Paper-Sheet.jpg, Paper-Edge.png and the
// five wave files into FOLDER (the project's data/ folder) and lists what it
// wrote. The same command gives the same files each time.
#include "Pictures.h"
#include "Sounds.h"

#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QByteArray encoded(const QImage& image, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    // The clock is asked where it sits, so a widget application is needed;
    // nothing is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Makes the skins, paper pictures and sounds shipped beside the program.");
    parser.addHelpOption();
    const QCommandLineOption scaleOption("scale", "Pictures N times the design size (default 1).", "N", "1");
    parser.addOption(scaleOption);
    parser.addPositionalArgument("folder", "Where to write the files (the project's data folder).");
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    bool scaleOk = false;
    const double scale = parser.value(scaleOption).toDouble(&scaleOk);
    if (!scaleOk || scale < 0.25 || scale > 8) {
        std::fprintf(stderr, "vornak-media: --scale wants a number from 0.25 to 8\n");
        return 2;
    }
    const QDir folder(parser.positionalArguments().first());
    if (!folder.exists()) {
        std::fprintf(stderr, "vornak-media: no folder %s\n", qPrintable(folder.path()));
        return 2;
    }

    struct Output { QString name; QByteArray bytes; QString note; };
    QList<Output> outputs;
    outputs.append({"Skin-Std.jpg", encoded(pictures::standardSkin(scale), "JPG", 90), "standard skin"});
    outputs.append({"Skin-Pnk.jpg", encoded(pictures::steampunkSkin(scale), "JPG", 90), "steampunk skin"});
    outputs.append({"Paper-Sheet.jpg", encoded(pictures::paperSheet(scale), "JPG", 92), "paper behind the text"});
    outputs.append({"Paper-Edge.png", encoded(pictures::paperEdge(scale), "PNG", -1), "paper over the tear bar"});
    for (const sounds::Sound& sound : sounds::all()) {
        const double seconds = double(sound.samples.size()) / sounds::kRate;
        outputs.append({sound.fileName, sounds::waveFile(sound.samples),
                        QString("%1, %2 s").arg(sound.description).arg(seconds, 0, 'f', 3)});
    }

    QTextStream out(stdout);
    int failures = 0;
    for (const Output& output : outputs) {
        const QString path = folder.filePath(output.name);
        if (!writeFile(path, output.bytes)) {
            std::fprintf(stderr, "vornak-media: cannot write %s\n", qPrintable(path));
            ++failures;
            continue;
        }
        out << output.name << ": " << output.bytes.size() << " bytes (" << output.note << ")\n";
    }
    return failures == 0 ? 0 : 1;
}
