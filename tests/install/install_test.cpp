// What `cmake --install` puts on a machine, installed into a scratch prefix
// and read as a desktop and a packager read it.

#include "program_run.h"
#include "res/artwork.h"
#include "res/resource_ids.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

namespace velmora::test {
namespace {

constexpr int kIconSizes[] = {VELMORA_ICON_SIZES};
const QString kAppId = QStringLiteral(VELMORA_APP_ID);
constexpr int kSvgComparedFrom = 48;  // below, the two rasterizers place a 1 px wire differently

bool Have(const char* tool) { return !QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(); }

QString Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Every first capture of pattern in text, in order.
QStringList Captures(const QString& text, const QString& pattern)
{
    QStringList found;
    const QRegularExpression re(pattern,
                                QRegularExpression::MultilineOption | QRegularExpression::DotMatchesEverythingOption);
    for (auto it = re.globalMatch(text); it.hasNext();) {
        found << it.next().captured(1);
    }
    return found;
}

// Premultiplied, so that fully transparent pixels compare equal whatever their colour.
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
        install_ = RunProgram(QStringLiteral(VELMORA_CMAKE),
                              {"--install", QStringLiteral(VELMORA_BUILD_DIR), "--prefix", prefix_->path()});
    }
    static void TearDownTestSuite() { prefix_.reset(); }
    void SetUp() override
    {
        ASSERT_TRUE(prefix_->isValid());
        ASSERT_EQ(install_.exit, 0) << install_.Shown();
    }

    static QString Path(const QString& relative) { return prefix_->filePath(relative); }
    static QStringList Programs() { return QDir(Path("bin")).entryList(QDir::Files | QDir::Executable, QDir::Name); }
    static QString DesktopEntry() { return Path(QStringLiteral("share/applications/%1.desktop").arg(kAppId)); }
    static QString MetainfoFile() { return Path(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId)); }
    static QString Png(int size)
    {
        return Path(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId));
    }
    // The first word of a key's value in one group of the desktop entry.
    static QString DesktopWord(const QString& group, const QString& key)
    {
        const QString body = Read(DesktopEntry()).section('[' + group + ']', 1).section("\n[", 0, 0);
        return Captures(body, '^' + key + "=([^ \n]*)").value(0);
    }

    static inline std::unique_ptr<QTemporaryDir> prefix_;
    static inline ProgramRun install_;
};

TEST_F(Installed, ProgramsRunFromTheirPlaceEachWithItsManualPage)
{
    const QStringList programs = Programs();
    EXPECT_TRUE(programs.contains("velmora") && programs.contains("velmora-sim")) << programs.join(' ').toStdString();
    for (const QString& program : programs) {
        SCOPED_TRACE(program.toStdString());
        const ProgramRun run = RunProgram(Path("bin/" + program), {"--version"});
        EXPECT_EQ(run.exit, 0) << run.Shown();
        EXPECT_EQ(run.out, program + " " VELMORA_VERSION "\n");

        const QString page = Path(QStringLiteral("share/man/man1/%1.1.gz").arg(program));
        const ProgramRun roff = RunProgram(QStringLiteral("gzip"), {"-dc", page});
        ASSERT_EQ(roff.exit, 0) << roff.Shown();
        EXPECT_TRUE(roff.out.contains(QStringLiteral(".TH %1 \"1\"").arg(program.toUpper())));
        EXPECT_TRUE(roff.out.contains(QStringLiteral("\"%1 %2\"").arg(program, VELMORA_VERSION)));
        EXPECT_FALSE(roff.out.contains("manual page for")) << "help2man's stand-in NAME line";
        EXPECT_TRUE(roff.out.contains("\\-\\-help")) << "the options are listed";
        if (Have("man")) {
            const ProgramRun shown = RunProgram(QStringLiteral("man"), {"--warnings", "-l", page});
            EXPECT_TRUE(shown.exit == 0 && shown.err.isEmpty()) << "groff complains: " << shown.Shown();
        }
    }
}

TEST_F(Installed, DesktopEntryAndMetadataPassTheirValidators)
{
    if (!Have("desktop-file-validate") || !Have("appstreamcli")) {
        GTEST_SKIP() << "desktop-file-validate or appstreamcli is missing (./x installs them)";
    }
    const ProgramRun entry = RunProgram(QStringLiteral("desktop-file-validate"), {DesktopEntry()});
    EXPECT_EQ(entry.Shown(), "exit 0\nout: \nerr: ");
    for (const QStringList& args : {QStringList{"validate", "--no-net", "--pedantic", MetainfoFile()},
                                    QStringList{"validate-tree", "--no-net", "--pedantic", prefix_->path()}}) {
        const ProgramRun run = RunProgram(QStringLiteral("appstreamcli"), args);
        EXPECT_EQ(run.exit, 0) << run.Shown();
        EXPECT_EQ(Captures(run.out + run.err, "^([EWIP]: .*?)$").join('\n').toStdString(), "") << "findings";
    }
}

TEST_F(Installed, DesktopEntryAndMetadataNameWhatIsInstalled)
{
    const QStringList programs = Programs();
    EXPECT_TRUE(programs.contains(DesktopWord("Desktop Entry", "Exec")));
    EXPECT_EQ(DesktopWord("Desktop Entry", "Icon"), kAppId);
    for (const QString& action : DesktopWord("Desktop Entry", "Actions").split(';', Qt::SkipEmptyParts)) {
        EXPECT_TRUE(programs.contains(DesktopWord("Desktop Action " + action, "Exec"))) << action.toStdString();
    }

    const QString xml = Read(MetainfoFile());
    EXPECT_EQ(Captures(xml, "<id>(.*?)</id>"), QStringList{kAppId});
    EXPECT_EQ(Captures(xml, "<launchable[^>]*>(.*?)<"), QStringList{kAppId + ".desktop"});
    EXPECT_EQ(Captures(xml, "<binary>(.*?)</binary>"), programs);
    EXPECT_EQ(Captures(xml, "<release version=\"(.*?)\"").value(0), VELMORA_VERSION) << "the newest is this version";
    // Screenshots are files of the repository; the default one is the README's first picture.
    const QStringList shots = Captures(xml, "<image>(.*?)</image>");
    ASSERT_FALSE(shots.isEmpty());
    for (const QString& url : shots) {
        EXPECT_TRUE(QFile::exists(QStringLiteral(VELMORA_SOURCE_DIR "/") + url.section('/', -2))) << url.toStdString();
    }
    const QString readmeFirst = Captures(Read(VELMORA_SOURCE_DIR "/README.md"), "!\\[[^]]*\\]\\(([^)]+)\\)").value(0);
    const QString shown = Captures(xml, "<screenshot type=\"default\">.*?<image>(.*?)</image>").value(0);
    EXPECT_TRUE(!readmeFirst.isEmpty() && shown.endsWith('/' + readmeFirst)) << shown.toStdString();
}

TEST_F(Installed, IconFilesAreTheWindowsArtwork)
{
    const QIcon windowIcon = res::IconSet(res::kAppIcon);
    QTemporaryDir scratch;
    for (const int size : kIconSizes) {
        SCOPED_TRACE(size);
        const QImage png(Png(size));
        ASSERT_EQ(png.size(), QSize(size, size));
        EXPECT_EQ(png.convertToFormat(QImage::Format_ARGB32),
                  windowIcon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32));
        if (size < kSvgComparedFrom || !Have("rsvg-convert")) {
            continue;
        }
        // The SVG is the same drawing.
        const QString rendered = scratch.filePath(QStringLiteral("%1.png").arg(size));
        const QString side = QString::number(size);
        const QString svg = Path(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kAppId));
        const ProgramRun run =
            RunProgram(QStringLiteral("rsvg-convert"), {"-w", side, "-h", side, "-o", rendered, svg});
        ASSERT_EQ(run.exit, 0) << run.Shown();
        const Difference d = Compare(QImage(rendered), png);
        EXPECT_LT(d.mean, 1.0);
        EXPECT_LT(d.farPixels, 0.01) << "a shape missing or moved";
    }
}

}  // namespace
}  // namespace velmora::test
