#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <cstdlib>
#include <ostream>

#include "kerf_resources.h"

namespace {

// Collects every warning Qt prints while it is installed (QtSvg reports what it cannot draw
// through warnings and then draws a picture anyway).
class WarningCatcher {
  public:
    WarningCatcher() {
        messages().clear();
        previous_ = qInstallMessageHandler(&WarningCatcher::handle);
    }
    ~WarningCatcher() { qInstallMessageHandler(previous_); }
    static QStringList& messages() {
        static QStringList list;
        return list;
    }

  private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg) messages().append(text);
    }
    QtMessageHandler previous_;
};

enum class Hue { green, blue, dark_blue, grey, any };
enum class Points { right, left, none };

struct Picture {
    const char* name;
    QLatin1String path;
    int width;
    int height;
    Hue hue;        // colour at the centre of the picture
    Points points;  // for a triangle: the side its tip is on
};

const Picture kPictures[] = {
    {"start", kerf::resource::start_image, 129, 138, Hue::green, Points::right},
    {"stop", kerf::resource::stop_image, 128, 138, Hue::dark_blue, Points::none},
    {"home", kerf::resource::home_image, 129, 138, Hue::green, Points::left},
    {"startpressed", kerf::resource::startpressed_image, 129, 138, Hue::blue, Points::right},
    {"logo", kerf::resource::logo_image, 200, 200, Hue::any, Points::none},
    {"workpiece", kerf::resource::workpiece_image, 704, 373, Hue::any, Points::none},
    {"wood", kerf::resource::wood_image, 43, 56, Hue::grey, Points::none},
    {"program icon", kerf::resource::program_icon, 200, 200, Hue::any, Points::none},
};

void PrintTo(const Picture& p, std::ostream* os) { *os << p.name; }

class ResourcePicture : public testing::TestWithParam<Picture> {
  protected:
    static void SetUpTestSuite() { kerf::init_resources(); }
};

QImage render(QSvgRenderer& renderer, QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    return image;
}

bool hue_matches(QColor c, Hue hue) {
    const int r = c.red(), g = c.green(), b = c.blue();
    switch (hue) {
        case Hue::green:
            return g > r + 40 && g > b + 40;
        case Hue::blue:
            return b > r + 60 && b > g + 20 && c.lightness() > 80;
        case Hue::dark_blue:
            return b > r + 20 && b > g + 10 && c.lightness() < 80;
        case Hue::grey:
            return std::abs(r - g) < 20 && std::abs(g - b) < 20 && std::abs(r - b) < 20;
        case Hue::any:
            return true;
    }
    return false;
}

TEST_P(ResourcePicture, LoadsAndDrawsWithoutWarnings) {
    const Picture& p = GetParam();
    const QString path(p.path);
    ASSERT_TRUE(QFile::exists(path)) << path.toStdString();

    WarningCatcher warnings;
    QSvgRenderer renderer(path);
    ASSERT_TRUE(renderer.isValid()) << path.toStdString();
    EXPECT_EQ(renderer.defaultSize(), QSize(p.width, p.height));
    EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, p.width, p.height));

    const QImage image = render(renderer, QSize(p.width * 2, p.height * 2));
    EXPECT_TRUE(warnings.messages().isEmpty()) << warnings.messages().join(u'\n').toStdString();

    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) opaque += qAlpha(image.pixel(x, y)) == 255;
    EXPECT_GT(opaque, image.width() * image.height() / 5) << "hardly anything drawn";

    const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
    EXPECT_TRUE(hue_matches(centre, p.hue)) << centre.name().toStdString();

    if (p.points != Points::none) {
        // A triangle is tall on its base side and comes to a point on the other.
        const int mid = image.height() / 2;
        const int near_left = image.width() / 5, near_right = image.width() - image.width() / 5;
        const int top = image.height() / 5;
        const bool left_is_base = qAlpha(image.pixel(near_left, top)) == 255;
        const bool right_is_base = qAlpha(image.pixel(near_right, top)) == 255;
        EXPECT_EQ(left_is_base, p.points == Points::right);
        EXPECT_EQ(right_is_base, p.points == Points::left);
        EXPECT_EQ(qAlpha(image.pixel(near_left, mid)), 255);
        EXPECT_EQ(qAlpha(image.pixel(near_right, mid)), 255);
    }
}

INSTANTIATE_TEST_SUITE_P(AllPictures, ResourcePicture, testing::ValuesIn(kPictures),
                         [](const testing::TestParamInfo<Picture>& info) {
                             QString name = QString::fromLatin1(info.param.name);
                             name.replace(u' ', u'_');
                             return name.toStdString();
                         });

TEST(WorkpieceDrawing, NamesTheFiveInputs) {
    kerf::init_resources();
    QFile file{QString(kerf::resource::workpiece_image)};
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray svg = file.readAll();
    for (const char* label :
         {"Start position", "Saw width", "Pin width", "Cut width", "Number of cuts"}) {
        EXPECT_TRUE(svg.contains(QByteArray(">") + label + "</text>")) << label;
    }
}

}  // namespace
