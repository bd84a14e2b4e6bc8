// What `cmake --install` puts on a machine. This build is installed into a
// scratch directory as an operator or a package would install it, and what
// lands there is read as a desktop and a packager read it: the programs run
// from their installed place, every program has its manual page, the desktop
// entry and the AppStream metadata pass their validators and name files that
// are there, and the icon files are the artwork the window shows.
// cmake/Install.cmake passes the app id, the icon sizes and the directories.

#include "res/artwork.h"
#include "res/resource_ids.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

namespace velmora::test {
namespace {

constexpr int kIconSizes[] = {VELMORA_ICON_SIZES};
const QString kAppId = QStringLiteral(VELMORA_APP_ID);
constexpr int kSvgComparedFrom = 48;

struct Finished {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Finished RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    Finished run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

bool Have(const char* tool) { return !QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(); }

// The problems a validator lists, one a line: "E: ...", "W: ...", "I: ...", "P: ...".
QStringList Findings(const Finished& run)
{
    static const QRegularExpression finding(QStringLiteral("^[EWIP]: .*$"), QRegularExpression::MultilineOption);
    QStringList found;
    for (auto it = finding.globalMatch(QString::fromUtf8(run.out + run.err)); it.hasNext();) {
        found << it.next().captured();
    }
    return found;
}

// The keys of one group of a desktop entry.
std::map<QString, QString> DesktopGroup(const QString& path, const QString& group)
{
    QFile file(path);
    std::map<QString, QString> keys;
    if (!file.open(QIODevice::ReadOnly)) {
        return keys;
    }
    bool inGroup = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
        } else if (inGroup && line.contains(QLatin1Char('='))) {
            keys[line.section(QLatin1Char('='), 0, 0)] = line.section(QLatin1Char('='), 1);
        }
    }
    return keys;
}

struct Metainfo {
    QString id;
    QString launchable;
    QStringList binaries;
    QStringList releases;
    QStringList screenshots;  // the default one first
};

Metainfo ReadMetainfo(const QString& path)
{
    QFile file(path);
    Metainfo info;
    if (!file.open(QIODevice::ReadOnly)) {
        return info;
    }
    QXmlStreamReader xml(&file);
    bool defaultShot = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const auto name = xml.name();
        if (name == QLatin1String("release")) {
            info.releases << xml.attributes().value(QLatin1String("version")).toString();
        } else if (name == QLatin1String("screenshot")) {
            defaultShot = xml.attributes().value(QLatin1String("type")) == QLatin1String("default");
        } else if (name == QLatin1String("id")) {
            info.id = xml.readElementText();
        } else if (name == QLatin1String("launchable")) {
            info.launchable = xml.readElementText();
        } else if (name == QLatin1String("binary")) {
            info.binaries << xml.readElementText();
        } else if (name == QLatin1String("image")) {
            const QString url = xml.readElementText();
            defaultShot ? info.screenshots.prepend(url) : info.screenshots.append(url);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return info;
}

// Compares two pictures of the same size channel by channel (premultiplied,
// so that fully transparent pixels compare equal whatever their colour).
struct Difference {
    double mean = 0;  // per channel, 0 to 255
    double farPixels = 0;  // share of pixels off by more than a quarter
};

Difference Compare(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double sum = 0;
    int far = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            const int d[] = {std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))};
            sum += d[0] + d[1] + d[2] + d[3];
            far += *std::max_element(std::begin(d), std::end(d)) > 64 ? 1 : 0;
        }
    }
    const double pixels = double(x.width()) * x.height();
    return {sum / (pixels * 4), far / pixels};
}

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        prefix_ = std::make_unique<QTemporaryDir>();
        install_ =
            RunTool(QStringLiteral(VELMORA_CMAKE), {QStringLiteral("--install"), QStringLiteral(VELMORA_BUILD_DIR),
                                                    QStringLiteral("--prefix"), prefix_->path()});
    }
    static void TearDownTestSuite() { prefix_.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(prefix_->isValid());
        ASSERT_EQ(install_.code, 0) << install_.out.toStdString() << install_.err.toStdString();
    }

    static QString Path(const QString& relative) { return prefix_->filePath(relative); }
    static QStringList Programs()
    {
        return QDir(Path(QStringLiteral("bin"))).entryList(QDir::Files | QDir::Executable, QDir::Name);
    }
    static QString DesktopEntry() { return Path(QStringLiteral("share/applications/%1.desktop").arg(kAppId)); }
    static QString MetainfoFile() { return Path(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId)); }
    static QString Svg() { return Path(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kAppId)); }
    static QString Png(int size)
    {
        return Path(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(QString::number(size), kAppId));
    }

    static inline std::unique_ptr<QTemporaryDir> prefix_;
    static inline Finished install_;
};

TEST_F(Installed, ProgramsRunFromTheirInstalledPlace)
{
    const QStringList programs = Programs();
    EXPECT_TRUE(programs.contains(QStringLiteral("velmora"))) << programs.join(' ').toStdString();
    EXPECT_TRUE(programs.contains(QStringLiteral("velmora-sim"))) << programs.join(' ').toStdString();
    for (const QString& program : programs) {
        const Finished run = RunTool(Path(QStringLiteral("bin/") + program), {QStringLiteral("--version")});
        EXPECT_EQ(run.code, 0) << program.toStdString() << ": " << run.err.toStdString();
        EXPECT_EQ(run.out.toStdString(), program.toStdString() + " " VELMORA_VERSION "\n");
    }
}

TEST_F(Installed, EveryProgramHasItsManualPage)
{
    for (const QString& program : Programs()) {
        const QString page = Path(QStringLiteral("share/man/man1/%1.1.gz").arg(program));
        const std::string what = program.toStdString();
        ASSERT_TRUE(QFile::exists(page)) << what;
        const Finished roff = RunTool(QStringLiteral("gzip"), {QStringLiteral("-dc"), page});
        ASSERT_EQ(roff.code, 0) << what;
        const QString text = QString::fromUtf8(roff.out);
        EXPECT_TRUE(text.contains(QStringLiteral(".TH %1 \"1\"").arg(program.toUpper()))) << what;
        EXPECT_TRUE(text.contains(QStringLiteral("\"%1 %2\"").arg(program, QStringLiteral(VELMORA_VERSION)))) << what;
        // The NAME line says what the program is, not help2man's stand-in.
        EXPECT_FALSE(text.contains(QLatin1String("manual page for"))) << what;
        EXPECT_TRUE(text.contains(QLatin1String("\\-\\-help"))) << what << ": the options are listed";
        if (Have("man")) {
            const Finished shown =
                RunTool(QStringLiteral("man"), {QStringLiteral("--warnings"), QStringLiteral("-l"), page});
            EXPECT_EQ(shown.code, 0) << what;
            EXPECT_EQ(shown.err.toStdString(), "") << what << ": groff has no complaint";
        }
    }
}

TEST_F(Installed, DesktopEntryAndMetadataPassTheirValidators)
{
    if (!Have("desktop-file-validate") || !Have("appstreamcli")) {
        GTEST_SKIP() << "desktop-file-validate or appstreamcli is missing (./x installs them)";
    }
    const Finished entry = RunTool(QStringLiteral("desktop-file-validate"), {DesktopEntry()});
    EXPECT_EQ(entry.code, 0);
    EXPECT_EQ((entry.out + entry.err).toStdString(), "");
    const QString noNet = QStringLiteral("--no-net");
    const QString pedantic = QStringLiteral("--pedantic");
    const Finished metadata =
        RunTool(QStringLiteral("appstreamcli"), {QStringLiteral("validate"), noNet, pedantic, MetainfoFile()});
    EXPECT_EQ(metadata.code, 0) << metadata.out.toStdString();
    EXPECT_EQ(Findings(metadata).join('\n').toStdString(), "");
    const Finished tree =
        RunTool(QStringLiteral("appstreamcli"), {QStringLiteral("validate-tree"), noNet, pedantic, prefix_->path()});
    EXPECT_EQ(tree.code, 0) << tree.out.toStdString();
    EXPECT_EQ(Findings(tree).join('\n').toStdString(), "");
}

TEST_F(Installed, DesktopEntryAndMetadataNameWhatIsInstalled)
{
    const QStringList programs = Programs();
    const auto command = [](const std::map<QString, QString>& group) {
        return group.count(QStringLiteral("Exec")) ? group.at(QStringLiteral("Exec")).section(' ', 0, 0) : QString();
    };
    auto entry = DesktopGroup(DesktopEntry(), QStringLiteral("Desktop Entry"));
    EXPECT_TRUE(programs.contains(command(entry))) << command(entry).toStdString();
    EXPECT_EQ(entry[QStringLiteral("Icon")], kAppId);
    for (const QString& action : entry[QStringLiteral("Actions")].split(';', Qt::SkipEmptyParts)) {
        const auto group = DesktopGroup(DesktopEntry(), QStringLiteral("Desktop Action ") + action);
        EXPECT_TRUE(programs.contains(command(group))) << action.toStdString();
    }

    const Metainfo info = ReadMetainfo(MetainfoFile());
    EXPECT_EQ(info.id, kAppId);
    EXPECT_EQ(info.launchable, kAppId + QStringLiteral(".desktop"));
    EXPECT_EQ(info.binaries, programs);
    EXPECT_EQ(info.releases.value(0), QStringLiteral(VELMORA_VERSION)) << "the newest release is this version";
    // Screenshots are files of the repository; the default one is the README's first.
    ASSERT_FALSE(info.screenshots.isEmpty());
    for (const QString& url : info.screenshots) {
        const QString file = url.section('/', -2);
        EXPECT_TRUE(QFile::exists(QStringLiteral(VELMORA_SOURCE_DIR "/") + file)) << url.toStdString();
    }
    QFile readme(QStringLiteral(VELMORA_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const auto firstImage = QRegularExpression(QStringLiteral("!\\[[^]]*\\]\\(([^)]+)\\)")).match(readme.readAll());
    EXPECT_TRUE(info.screenshots.first().endsWith(QLatin1Char('/') + firstImage.captured(1)))
        << info.screenshots.first().toStdString() << " vs " << firstImage.captured(1).toStdString();
}

TEST_F(Installed, IconFilesAreTheWindowsArtwork)
{
    const QIcon windowIcon = res::IconSet(res::kAppIcon);
    for (const int size : kIconSizes) {
        const QImage png(Png(size));
        ASSERT_FALSE(png.isNull()) << size;
        EXPECT_EQ(png.size(), QSize(size, size));
        const QImage shown = windowIcon.pixmap(QSize(size, size)).toImage();
        EXPECT_EQ(png.convertToFormat(QImage::Format_ARGB32), shown.convertToFormat(QImage::Format_ARGB32))
            << size << " px: the file is what the window draws";
    }
    if (!Have("rsvg-convert")) {
        GTEST_SKIP() << "rsvg-convert is missing (./x installs it): the SVG is not compared";
    }
    // The SVG is the same drawing: compared where a few edge pixels do not
    // outweigh it (at 16 px the two rasterizers place a 1 px wire differently).
    QTemporaryDir scratch;
    for (const int size : kIconSizes) {
        if (size < kSvgComparedFrom) {
            continue;
        }
        const QString rendered = scratch.filePath(QStringLiteral("%1.png").arg(size));
        const QString side = QString::number(size);
        const Finished run = RunTool(QStringLiteral("rsvg-convert"), {QStringLiteral("-w"), side, QStringLiteral("-h"),
                                                                      side, QStringLiteral("-o"), rendered, Svg()});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        const Difference d = Compare(QImage(rendered), QImage(Png(size)));
        EXPECT_LT(d.mean, 1.0) << size << " px";
        EXPECT_LT(d.farPixels, 0.01) << size << " px: a shape missing or moved";
    }
}

}  // namespace
}  // namespace velmora::test
