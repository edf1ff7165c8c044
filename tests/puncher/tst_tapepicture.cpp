// The tape picture: where the holes of a text lie, and what the picture
// widget shows, read back pixel by pixel from its rendered image.
#include "puncher/TapeReading.h"
#include "support/TestHost.h"
#include "support/TestMain.h"

#include "puncher/TapeExport.h"
#include "puncher/TapeExportPart.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QtTest>

using namespace tapereading;

namespace {

// A by its columns at x = 5, 13, 21, 29; B 38 pixels on.
QVector<Point> abGlyphs()
{
    return column(5, "2345") + column(13, "13") + column(21, "13") + column(29, "2345") + column(43, "12345")
           + column(51, "135") + column(59, "135") + column(67, "24");
}

// Draws a text the way the puncher mode does: feed holes for its length in
// small points, then the glyphs in large points.
void drawLikeTheMode(PunchTape& picture, const QString& text)
{
    picture.clear();
    picture.setDrawWidth(tape::kFeedHoleWidth);
    picture.drawFeedHoles(tape::feedHoleLimit(text.size()));
    picture.setDrawWidth(tape::kCodeHoleWidth);
    picture.drawText(text, 0);
}

// The same comparison on a saved picture, `scale` picture pixels a tape pixel.
QString savedPictureDifferences(const QImage& image, int scale, const QVector<Point>& expected, qint64 fromX, qint64 toX)
{
    QStringList differences;
    for (const int y : kRows) {
        for (qint64 x = fromX; x <= toX; ++x) {
            qint64 nearest = LLONG_MAX;
            for (const Point& point : expected) {
                if (point.y == y)
                    nearest = std::min(nearest, std::abs(point.x - x));
            }
            if (nearest != 0 && nearest < 4)
                continue;
            const QPoint pixel(int(x) * scale + scale / 2, y * scale + scale / 2);
            if (!image.rect().contains(pixel)) {
                differences << QStringLiteral("%1,%2 not in the picture").arg(x).arg(y);
                continue;
            }
            const int grey = qGray(image.pixel(pixel));
            if (nearest == 0 && grey >= 60)
                differences << QStringLiteral("no hole at %1,%2").arg(x).arg(y);
            else if (nearest != 0 && grey <= 190)
                differences << QStringLiteral("a mark at %1,%2").arg(x).arg(y);
        }
    }
    return differences.join("; ");
}

} // namespace

class TapePictureTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void holesOfAText()
    {
        QCOMPARE(tape::tapePoints("AB"), feedHoles(80) + abGlyphs());
        // Lower case draws the upper-case glyphs.
        QCOMPARE(tape::tapePoints("ab"), tape::tapePoints("AB"));
        // A blank leaves 22 pixels; the colon is one column with holes 2 and
        // 4 and moves on 15 pixels.
        const QVector<Point> b60 = column(65, "12345") + column(73, "135") + column(81, "135") + column(89, "24");
        QCOMPARE(tape::tapePoints("A B").mid(12), abGlyphs().mid(0, 12) + b60);
        QCOMPARE(tape::tapePoints("A:B").mid(12), abGlyphs().mid(0, 12) + column(43, "24") + column(58, "12345")
                                                     + column(66, "135") + column(74, "135") + column(82, "24"));
        // Characters without a glyph draw nothing and take no room, but
        // count towards the feed holes.
        QCOMPARE(tape::tapePoints(QString::fromUtf8("A&ÄB")), feedHoles(160) + abGlyphs());
        // An empty text: no feed holes, no glyphs.
        QVERIFY(tape::tapePoints("").isEmpty());
        // Positions beyond 16 bits, or 32, do not wrap round: 1000 M are
        // 44000 pixels of tape.
        QCOMPARE(tape::layOut(QString(1000, 'M'), 0).endX, 44000);
        QCOMPARE(tape::layOut("A", qint64(1) << 40).endX, (qint64(1) << 40) + 38);
    }

    void renderedPictureAndItsScrolling()
    {
        PunchTape picture;
        picture.resize(600, picture.height());
        picture.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picture));

        // AB: its glyphs and the feed holes as far as 80, nothing else.
        drawLikeTheMode(picture, "AB");
        QCOMPARE(pictureDifferences(picture, feedHoles(80) + abGlyphs(), 0, 140), QString());
        // Small feed holes, large code holes: the paper shows between the
        // feed holes 3 pixels on, but not 3 pixels from a code hole.
        const QImage image = picture.viewport()->grab().toImage();
        QVERIFY(qGray(image.pixel(picture.viewportPixel(1 + 3, 25))) > 190);
        QVERIFY(qGray(image.pixel(picture.viewportPixel(43, 5 + 2))) < 60);

        // An empty text draws nothing, not even a feed hole.
        drawLikeTheMode(picture, "");
        QVERIFY(picture.isBlank());

        // Drawing adds to what is there until the picture is cleared.
        picture.setDrawWidth(tape::kCodeHoleWidth);
        picture.drawText(".", 0);
        picture.drawText(".", 100);
        QCOMPARE(pictureDifferences(picture, {{5, 55}, {105, 55}}, 0, 140), QString());
        picture.clear();
        QCOMPARE(pictureDifferences(picture, {}, 0, 140), QString());

        // A long tape scrolls.
        const QString text = QString(999, 'M') + "T";
        drawLikeTheMode(picture, text);
        QVERIFY(picture.horizontalScrollBar()->maximum() > 40000);
        const QVector<Point> holes = tape::tapePoints(text);
        const qint64 width = picture.viewport()->width() / PunchTape::kZoom;

        // The view shows the holes where 64-bit positions put them: at the
        // far end (the last M and the T, the feed holes long ended at 40
        // pixels a character), in the middle with a glyph cut by the left
        // edge, and at the start.
        picture.ensureVisible(picture.extent());
        QVERIFY(picture.leftInView() > 43000);
        QVERIFY(picture.leftInView() + width > 43993); // the T's last column
        for (const qint64 left : {qint64(-1), qint64(454 * 44 + 10), qint64(0)}) {
            if (left >= 0)
                picture.horizontalScrollBar()->setValue(int(left));
            const qint64 from = picture.leftInView();
            QVector<Point> near;
            std::copy_if(holes.begin(), holes.end(), std::back_inserter(near),
                         [&](const Point& hole) { return hole.x > from - 8 && hole.x < from + width + 8; });
            QVERIFY(near.size() > 20);
            QCOMPARE(pictureDifferences(picture, near, from, from + width - 1), QString());
        }
    }

    // The whole tape as SVG and PNG at a chosen scale: every hole of a tape
    // far longer than the screen, the paper between; through "Save Tape".
    void savedTape()
    {
        const QString text = QString(300, 'M') + "T:";
        const QVector<Point> holes = tape::tapePoints(text);
        const qint64 last = 300 * 44 + 44 + 5; // the colon's column
        const QString png = env.folder() + "/tape.png";
        const QString svg = env.folder() + "/tape.svg";
        QString error;
        QVERIFY2(tapeexport::savePng(png, text, 2, &error) && tapeexport::saveSvg(svg, text, 2, &error), qPrintable(error));
        const QImage picture(png);
        QCOMPARE(picture.size(), tapeexport::pictureSize(text, 2));
        QVERIFY(picture.width() > (last + 3) * 2 && picture.width() < (last + 20) * 2 && picture.height() == 120);
        QSvgRenderer drawing(svg);
        QVERIFY(drawing.isValid());
        QCOMPARE(drawing.viewBox(), QRect(QPoint(0, 0), picture.size()));
        QImage rendered(picture.size(), QImage::Format_RGB32);
        QPainter painter(&rendered);
        drawing.render(&painter);
        painter.end();
        for (const QImage& image : {picture, rendered}) {
            QCOMPARE(savedPictureDifferences(image, 2, holes, 0, 400), QString());
            QCOMPARE(savedPictureDifferences(image, 2, holes, last - 200, last + 3), QString());
        }

        // What cannot be saved says why.
        QVERIFY(!tapeexport::savePng(png, "", 2, &error) && error.contains("empty"));
        QVERIFY(!tapeexport::savePng(png, QString(32767, 'M'), 12, &error) && error.contains("too large"));
        QVERIFY(!tapeexport::saveSvg(env.folder() + "/no/folder/t.svg", "A", 2, &error) && !error.isEmpty());

        // The command: the text of the puncher, a scale, a file.
        QString tapeText;
        TestHost host(env);
        TapeExportPart part(host, [&tapeText] { return tapeText; });
        host.click("lblSaveTape");
        QCOMPARE(host.scripted.texts(), QStringList({"The tape is empty: type a text in the puncher first."}));
        tapeText = "AB";
        host.click("lblSaveTape");
        TapeSaveWindow* window = part.saveWindow();
        QVERIFY(window && window->isVisible());
        window->spnTapeScale->setValue(5);
        const QSize size = tapeexport::pictureSize("AB", 5);
        QCOMPARE(window->lblTapeSize->text(), QStringLiteral("The whole tape: %1 x %2 pixels").arg(size.width()).arg(size.height()));
        host.scripted.files = {png};
        window->cmdSavePng->click();
        QCOMPARE(QImage(png).size(), size);
        QCOMPARE(savedPictureDifferences(QImage(png), 5, feedHoles(80) + abGlyphs(), 0, 76), QString());
    }
};

VORNAK_TEST_MAIN(TapePictureTest)
#include "tst_tapepicture.moc"
