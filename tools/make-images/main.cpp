// Writes the program's icon (ico + png sizes) and its "About" picture into a
// folder. The output is committed, so everything here must be reproducible:
// no clock, no unseeded randomness.

#include "art.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

namespace {

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make-images: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%lld bytes)\n", qPrintable(path), static_cast<long long>(bytes.size()));
    return true;
}

QByteArray encode(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image)) {
        std::fprintf(stderr, "make-images: %s encoding failed: %s\n", format,
                     qPrintable(writer.errorString()));
        return {};
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-images <output-folder>\n");
        return 2;
    }
    // Nothing is shown; the offscreen platform lets this run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "make-images: cannot create %s\n", argv[1]);
        return 1;
    }

    bool ok = true;

    QList<QImage> icoImages;
    for (int size : {16, 24, 32, 48})
        icoImages.append(drawIcon(size));
    ok &= writeBytes(out.filePath(QStringLiteral("vadozoz.ico")), makeIco(icoImages));

    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QByteArray png = encode(drawIcon(size), "png");
        ok &= !png.isEmpty()
              && writeBytes(out.filePath(QStringLiteral("vadozoz-%1.png").arg(size)), png);
    }

    QImage dial = drawDial();
    // 3780 dots per metre is what makes the JFIF header say 96 dpi.
    dial.setDotsPerMeterX(3780);
    dial.setDotsPerMeterY(3780);
    const QByteArray jpg = encode(dial, "jpg", 90);
    ok &= !jpg.isEmpty() && writeBytes(out.filePath(QStringLiteral("picture1.jpg")), jpg);

    return ok ? 0 : 1;
}
