// Writes the application icon as the files a desktop installs, at build time:
//   velmora-icon-files DIR NAME SIZE...
// gives DIR/scalable/apps/NAME.svg and DIR/<SIZE>x<SIZE>/apps/NAME.png for
// each size, all drawn by the panel's own artwork.

#include "res/app_icon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSvgSide = 128;
constexpr int kLargestSide = 1024;

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size() && file.flush();
}

bool WritePng(const QString& path, int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        velmora::res::DrawApplicationIcon(painter, side);
    }
    return QDir().mkpath(QFileInfo(path).path()) && image.save(path, "PNG");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: velmora-icon-files DIR NAME SIZE...\n", stderr);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QString svg = QStringLiteral("%1/scalable/apps/%2.svg").arg(dir, name);
    if (!WriteFile(svg, velmora::res::ApplicationIconSvg(kSvgSide))) {
        std::fprintf(stderr, "velmora-icon-files: cannot write %s\n", qPrintable(svg));
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int side = std::atoi(argv[i]);
        if (side < 1 || side > kLargestSide) {
            std::fprintf(stderr, "velmora-icon-files: not a size: %s\n", argv[i]);
            return 2;
        }
        const QString png = QStringLiteral("%1/%2x%2/apps/%3.png").arg(dir, QString::number(side), name);
        if (!WritePng(png, side)) {
            std::fprintf(stderr, "velmora-icon-files: cannot write %s\n", qPrintable(png));
            return 1;
        }
    }
    return 0;
}
