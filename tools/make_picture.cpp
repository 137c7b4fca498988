// Paints the default background picture: a lake at dawn below misty
// mountains, a pine on the bank, deer on the shore and cranes in the sky,
// finished with short brush strokes so that it reads as a painting.
// Everything is drawn from a fixed seed, so every build paints the same one.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtMath>
#include <cstdio>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kHorizon = 540;
const QPointF kSun(905, 395);

QRandomGenerator rng(20040516);

double uniform(double low, double high)
{
    return low + rng.generateDouble() * (high - low);
}

// Midpoint displacement: a ridge line of n + 1 heights in 0..1.
QVector<double> ridge(int levels, double roughness)
{
    const int n = 1 << levels;
    QVector<double> h(n + 1);
    h[0] = uniform(0.2, 0.6);
    h[n] = uniform(0.2, 0.6);
    double spread = 0.6;
    for (int step = n; step > 1; step /= 2) {
        for (int i = step / 2; i < n; i += step)
            h[i] = (h[i - step / 2] + h[i + step / 2]) / 2 + uniform(-spread, spread);
        spread *= roughness;
    }
    double low = h[0], high = h[0];
    for (double v : h) {
        low = qMin(low, v);
        high = qMax(high, v);
    }
    for (double& v : h)
        v = (v - low) / (high - low);
    return h;
}

void paintSky(QPainter& p)
{
    QLinearGradient sky(0, 0, 0, kHorizon);
    sky.setColorAt(0.0, QColor(38, 62, 104));
    sky.setColorAt(0.35, QColor(92, 120, 158));
    sky.setColorAt(0.62, QColor(214, 170, 150));
    sky.setColorAt(0.85, QColor(248, 196, 132));
    sky.setColorAt(1.0, QColor(252, 222, 168));
    p.fillRect(0, 0, kWidth, kHorizon, sky);

    QRadialGradient glow(kSun, 420);
    glow.setColorAt(0.0, QColor(255, 236, 190, 220));
    glow.setColorAt(0.25, QColor(255, 208, 140, 120));
    glow.setColorAt(1.0, QColor(255, 190, 120, 0));
    p.fillRect(0, 0, kWidth, kHorizon, glow);

    p.setPen(Qt::NoPen);
    // Long evening clouds, lit from below.
    for (int i = 0; i < 14; ++i) {
        const double y = uniform(60, 330);
        const double x = uniform(-100, kWidth);
        const double w = uniform(180, 460);
        const double h = uniform(10, 26);
        const double warmth = y / 330.0;
        QColor c = QColor::fromRgbF(0.95, 0.78 + 0.1 * warmth, 0.72 - 0.1 * warmth, 0.22);
        p.setBrush(c);
        p.drawEllipse(QRectF(x, y, w, h));
        p.setBrush(QColor(255, 240, 220, 40));
        p.drawEllipse(QRectF(x + w * 0.2, y + h * 0.45, w * 0.6, h * 0.5));
    }

    p.setBrush(QColor(255, 246, 222));
    p.drawEllipse(kSun, 34, 34);
}

struct Peak {
    double x, height, halfWidth; // height as a share of the layer's range
};

// A range of pointed peaks with concave flanks, roughened by fractal detail.
QVector<double> range(const QVector<Peak>& peaks, int samples, double detail)
{
    const QVector<double> noise = ridge(8, 0.68);
    QVector<double> h(samples);
    for (int i = 0; i < samples; ++i) {
        const double x = double(i) / (samples - 1) * kWidth;
        double top = 0;
        for (const Peak& peak : peaks) {
            // Gentler on the sunward side, as the brush would lay it.
            const double reach = peak.halfWidth * (x < peak.x ? 0.8 : 1.2);
            const double t = 1 - qAbs(x - peak.x) / reach;
            if (t > 0) top = qMax(top, peak.height * std::pow(t, 2.2));
        }
        const double n = noise[i * (noise.size() - 1) / (samples - 1)];
        h[i] = qBound(0.0, top + (n - 0.5) * detail, 1.0);
    }
    return h;
}

void paintMountains(QPainter& p)
{
    struct Layer {
        double top, bottom;
        QColor colour;
        QVector<Peak> peaks;
        double detail;
    };
    const Layer layers[] = {
        {200,
         kHorizon - 30,
         QColor(160, 166, 196),
         {{250, 0.95, 330}, {520, 0.62, 260}, {1120, 0.85, 300}, {1300, 0.6, 200}},
         0.14},
        {300,
         kHorizon - 10,
         QColor(118, 132, 160),
         {{60, 0.7, 260}, {380, 0.45, 220}, {690, 0.9, 280}, {1010, 0.35, 200}, {1240, 0.75, 260}},
         0.16},
        {410,
         kHorizon + 4,
         QColor(66, 90, 98),
         {{180, 0.8, 300}, {560, 0.55, 260}, {820, 0.3, 220}, {1180, 0.7, 300}},
         0.2},
        {470,
         kHorizon + 4,
         QColor(42, 62, 58),
         {{0, 0.7, 260}, {420, 0.4, 300}, {1000, 0.3, 260}, {1280, 0.6, 240}},
         0.24},
    };
    for (const Layer& layer : layers) {
        const QVector<double> h = range(layer.peaks, 321, layer.detail);
        QPainterPath path;
        path.moveTo(0, kHorizon + 4);
        for (int i = 0; i < h.size(); ++i) {
            const double x = double(i) / (h.size() - 1) * kWidth;
            path.lineTo(x, layer.bottom - h[i] * (layer.bottom - layer.top));
        }
        path.lineTo(kWidth, kHorizon + 4);
        path.closeSubpath();
        QLinearGradient shade(0, layer.top, 0, kHorizon);
        shade.setColorAt(0.0, layer.colour.lighter(112));
        shade.setColorAt(1.0, layer.colour.darker(115));
        p.fillPath(path, shade);

        // Mist gathers in the valleys in front of each range.
        QLinearGradient mist(0, layer.bottom - 70, 0, kHorizon + 4);
        mist.setColorAt(0.0, QColor(250, 226, 200, 0));
        mist.setColorAt(1.0, QColor(250, 226, 200, 120));
        p.fillRect(QRectF(0, layer.bottom - 70, kWidth, kHorizon + 4 - (layer.bottom - 70)), mist);
    }
}

// The lake mirrors the land above it, broken by ripples.
void paintLake(QImage& image)
{
    const QImage above = image.copy(0, 0, kWidth, kHorizon);
    for (int y = kHorizon; y < kHeight; ++y) {
        const int depth = y - kHorizon;
        const int source = qBound(0, kHorizon - 1 - int(depth * 1.1), kHorizon - 1);
        const int shift = int(std::sin(depth * 0.55) * (1.0 + depth / 30.0));
        const QRgb* from = reinterpret_cast<const QRgb*>(above.constScanLine(source));
        QRgb* to = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x)
            to[x] = from[qBound(0, x + shift, kWidth - 1)];
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient water(0, kHorizon, 0, kHeight);
    water.setColorAt(0.0, QColor(70, 90, 110, 70));
    water.setColorAt(1.0, QColor(18, 40, 54, 190));
    p.fillRect(0, kHorizon, kWidth, kHeight - kHorizon, water);

    // Glitter on the water under the sun.
    for (int i = 0; i < 420; ++i) {
        const double depth = std::pow(rng.generateDouble(), 1.4) * (kHeight - kHorizon);
        const double spread = 30 + depth * 0.9;
        const double x = kSun.x() + uniform(-spread, spread) * rng.generateDouble();
        const double w = uniform(6, 26) * (1 + depth / 200);
        p.setPen(QPen(QColor(255, 232, 180, int(uniform(60, 190))), uniform(1.0, 2.2)));
        p.drawLine(QPointF(x - w / 2, kHorizon + depth), QPointF(x + w / 2, kHorizon + depth));
    }
    // Faint ripple lines across the whole lake.
    for (int i = 0; i < 160; ++i) {
        const double y = kHorizon + 6 + std::pow(rng.generateDouble(), 1.2) * (kHeight - kHorizon);
        const double x = uniform(0, kWidth);
        const double w = uniform(20, 120) * (1 + (y - kHorizon) / 150);
        p.setPen(QPen(QColor(220, 230, 240, 45), 1.2));
        p.drawLine(QPointF(x, y), QPointF(x + w, y));
    }
}

void paintBank(QPainter& p)
{
    QPainterPath bank;
    bank.moveTo(0, 596);
    bank.cubicTo(90, 584, 170, 606, 250, 622);
    bank.cubicTo(340, 640, 400, 668, 470, 694);
    bank.cubicTo(540, 716, 600, 724, 640, 748);
    bank.cubicTo(680, 770, 700, 786, 760, kHeight);
    bank.lineTo(0, kHeight);
    bank.closeSubpath();
    QLinearGradient earth(0, 590, 0, kHeight);
    earth.setColorAt(0.0, QColor(66, 70, 38));
    earth.setColorAt(1.0, QColor(24, 30, 18));
    p.fillPath(bank, earth);

    // Grass and a scatter of spring flowers.
    for (int i = 0; i < 2600; ++i) {
        const QPointF at(uniform(0, 720), uniform(590, kHeight));
        if (!bank.contains(at)) continue;
        const double len = uniform(6, 16);
        const double lean = uniform(-4, 4);
        const int g = int(uniform(50, 110));
        const bool lit = rng.bounded(5) == 0; // tips catching the low sun
        p.setPen(QPen(lit ? QColor(190, 160, 90, 150) : QColor(g * 2 / 3, g, g / 3, 150), 1.3));
        p.drawLine(at, at + QPointF(lean, -len));
    }
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 140; ++i) {
        const QPointF at(uniform(0, 680), uniform(610, kHeight));
        if (!bank.contains(at)) continue;
        p.setBrush(i % 3 ? QColor(246, 190, 204, 210) : QColor(255, 248, 236, 210));
        p.drawEllipse(at, 2.4, 2.0);
    }
}

void paintNeedlePad(QPainter& p, QPointF centre, double w, double h)
{
    for (int i = 0; i < int(w * h / 9); ++i) {
        const double a = uniform(0, 2 * M_PI);
        const double r = std::sqrt(rng.generateDouble());
        const QPointF at = centre + QPointF(std::cos(a) * r * w / 2, std::sin(a) * r * h / 2);
        const double angle = uniform(-0.9, 0.9) + (at.x() < centre.x() ? M_PI : 0);
        const double len = uniform(5, 11);
        const bool lit = at.y() < centre.y() - h * 0.1 && rng.bounded(3) == 0;
        p.setPen(QPen(lit ? QColor(78, 110, 70, 200) : QColor(22, 44, 32, 210), 1.3));
        p.drawLine(at, at + QPointF(std::cos(angle) * len, std::sin(angle) * len * 0.5));
    }
}

void paintPine(QPainter& p)
{
    // The trunk leans out over the water, thinning as it rises.
    QPainterPath trunk;
    trunk.moveTo(84, kHeight);
    trunk.cubicTo(110, 640, 60, 470, 150, 330);
    trunk.cubicTo(190, 260, 210, 210, 250, 150);
    trunk.lineTo(262, 158);
    trunk.cubicTo(230, 220, 214, 280, 184, 340);
    trunk.cubicTo(124, 470, 150, 640, 134, kHeight);
    trunk.closeSubpath();
    QLinearGradient bark(60, 0, 180, 0);
    bark.setColorAt(0.0, QColor(40, 28, 22));
    bark.setColorAt(0.6, QColor(92, 64, 44));
    bark.setColorAt(1.0, QColor(50, 34, 26));
    p.fillPath(trunk, bark);
    for (int i = 0; i < 160; ++i) {
        const QPointF at(uniform(60, 260), uniform(150, kHeight));
        if (trunk.contains(at)) {
            p.setPen(QPen(QColor(28, 20, 16, 150), uniform(1, 2.5)));
            p.drawLine(at, at + QPointF(uniform(-6, 6), uniform(-3, 3)));
        }
    }

    struct Branch {
        QPointF from, to;
        double padW, padH;
    };
    const Branch branches[] = {
        {{160, 340}, {360, 300}, 190, 58}, {{138, 420}, {30, 390}, 150, 50},
        {{200, 260}, {420, 190}, 220, 62}, {{236, 180}, {330, 110}, 170, 54},
        {{150, 380}, {290, 400}, 160, 46}, {{246, 160}, {150, 95}, 140, 48},
        {{130, 480}, {250, 500}, 130, 40},
    };
    for (const Branch& b : branches) {
        QPainterPath limb;
        limb.moveTo(b.from);
        limb.quadTo(QPointF((b.from.x() + b.to.x()) / 2, qMin(b.from.y(), b.to.y()) - 18), b.to);
        p.setPen(QPen(QColor(52, 36, 28), 7, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(limb);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(24, 46, 34, 230));
        p.drawEllipse(b.to, b.padW / 2 * 0.85, b.padH / 2 * 0.7);
        paintNeedlePad(p, b.to, b.padW, b.padH);
    }
}

// A deer facing right with its hooves at the origin; grazing lowers the head.
void paintDeer(QPainter& p, QPointF at, double scale, bool facingRight, bool grazing, bool antlers)
{
    p.save();
    p.translate(at);
    p.scale(facingRight ? scale : -scale, scale);
    const QColor coat(52, 34, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(coat);

    QPainterPath body;
    body.addEllipse(QPointF(0, -62), 46, 21);
    p.drawPath(body);
    // Rim of light along the back from the sun behind.
    p.setPen(QPen(QColor(214, 150, 80, 170), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-46, -83, 92, 42), 30 * 16, 110 * 16);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(-40, -66), 9, 6); // haunch
    p.setBrush(QColor(236, 224, 200));
    p.drawEllipse(QPointF(-47, -70), 5, 4); // white tail
    p.setBrush(coat);

    QPainterPath neck;
    QPointF head;
    if (grazing) {
        neck.moveTo(28, -74);
        neck.quadTo(58, -60, 70, -18);
        neck.lineTo(62, -14);
        neck.quadTo(46, -50, 26, -52);
        head = QPointF(70, -12);
    } else {
        neck.moveTo(20, -78);
        neck.quadTo(36, -100, 48, -124);
        neck.lineTo(64, -116);
        neck.quadTo(54, -88, 44, -54);
        head = QPointF(60, -122);
    }
    neck.closeSubpath();
    p.drawPath(neck);
    p.save();
    p.translate(head);
    p.rotate(grazing ? 70 : 18);
    p.drawEllipse(QPointF(4, 0), 13, 7);
    p.drawEllipse(QPointF(15, 2), 6, 4.5); // muzzle
    QPolygonF ear{{-6, -4}, {-16, -14}, {-2, -7}};
    p.drawPolygon(ear);
    p.restore();

    if (antlers) {
        p.setPen(QPen(QColor(92, 68, 46), 2.4, Qt::SolidLine, Qt::RoundCap));
        const QPointF base = head + QPointF(-2, -8);
        for (int side = 0; side < 2; ++side) {
            const double d = side ? 1 : -0.6;
            const QPointF top = base + QPointF(-8 * d - 4, -34);
            p.drawLine(base, top);
            p.drawLine(base + QPointF(-2 * d - 1, -12), base + QPointF(8 * d, -22));
            p.drawLine(base + QPointF(-5 * d - 2, -24), base + QPointF(-16 * d, -30));
            p.drawLine(top, top + QPointF(6 * d, -8));
        }
        p.setPen(Qt::NoPen);
    }

    // Legs: thin, jointed, with a little stride.
    p.setPen(QPen(coat, 5.0, Qt::SolidLine, Qt::RoundCap));
    const double hips[][3] = {{-34, -8, -40}, {-26, 4, -28}, {26, -4, 30}, {34, 8, 36}};
    for (const auto& leg : hips) {
        const QPointF top(leg[0], -52);
        const QPointF knee(leg[0] + leg[1] * 0.5, -28);
        const QPointF hoof(leg[2] + leg[1] * 0.3, 0);
        p.drawLine(top, knee);
        p.drawLine(knee, hoof);
    }
    p.restore();
}

// A red-crowned crane standing in the shallows, facing left.
void paintStandingCrane(QPainter& p, QPointF at, double scale)
{
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    p.setPen(QPen(QColor(40, 40, 40), 2.2));
    p.drawLine(QPointF(-2, -70), QPointF(-4, 0));
    p.drawLine(QPointF(6, -70), QPointF(10, 0));
    p.setPen(QPen(QColor(90, 90, 96, 160), 1.2));
    p.setBrush(QColor(246, 240, 228));
    QPainterPath body;
    body.moveTo(-30, -100);
    body.cubicTo(-20, -122, 30, -118, 40, -96);
    body.cubicTo(38, -78, 0, -72, -24, -84);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(30, 30, 32));
    p.setPen(Qt::NoPen);
    QPainterPath tail;
    tail.moveTo(28, -100);
    tail.cubicTo(48, -104, 60, -92, 58, -80);
    tail.cubicTo(46, -86, 38, -84, 30, -86);
    tail.closeSubpath();
    p.drawPath(tail);
    QPainterPath neck;
    neck.moveTo(-22, -104);
    neck.cubicTo(-44, -130, -18, -150, -34, -178);
    neck.lineTo(-26, -182);
    neck.cubicTo(-8, -150, -32, -128, -12, -108);
    neck.closeSubpath();
    p.drawPath(neck);
    p.setBrush(QColor(246, 240, 228));
    p.drawEllipse(QPointF(-31, -184), 7, 6);
    p.setBrush(QColor(200, 36, 40));
    p.drawEllipse(QPointF(-30, -189), 3.4, 2.6);
    p.setBrush(QColor(110, 100, 60));
    p.drawPolygon(QPolygonF{{-37, -186}, {-62, -178}, {-36, -181}});
    p.restore();
}

// A crane in flight, neck stretched forward, legs trailing; wings up or down.
void paintFlyingCrane(QPainter& p, QPointF at, double scale, bool wingsUp)
{
    p.save();
    p.translate(at);
    p.scale(-scale, scale);
    p.setPen(QPen(QColor(70, 60, 60, 150), 1));
    const QColor white(248, 242, 232);
    const QColor black(28, 26, 30);

    auto wing = [&](double lift) {
        QPainterPath w;
        w.moveTo(-8, -2);
        w.cubicTo(-14, lift * 0.4, -30, lift * 0.9, -46, lift);
        w.lineTo(-16, lift * 0.92 + 4);
        w.cubicTo(0, lift * 0.6, 12, lift * 0.3, 14, 0);
        w.closeSubpath();
        p.setBrush(white);
        p.drawPath(w);
        QPainterPath tip;
        tip.moveTo(-46, lift);
        tip.lineTo(-16, lift * 0.92 + 4);
        tip.lineTo(-24, lift * 0.76 + 4);
        tip.lineTo(-40, lift * 0.88);
        tip.closeSubpath();
        p.setBrush(black);
        p.drawPath(tip);
    };
    wing(wingsUp ? -58 : 50);

    p.setBrush(white);
    p.drawEllipse(QPointF(0, 0), 26, 7);
    p.setPen(QPen(black, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, -2), QPointF(62, -8));
    p.setPen(QPen(QColor(40, 40, 40), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-22, 2), QPointF(-70, 6));
    p.drawLine(QPointF(-22, 3), QPointF(-68, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawEllipse(QPointF(64, -8), 4.5, 3.5);
    p.setBrush(QColor(200, 36, 40));
    p.drawEllipse(QPointF(64, -11), 2.2, 1.4);
    p.setBrush(QColor(110, 100, 60));
    p.drawPolygon(QPolygonF{{67, -9}, {84, -7}, {67, -6}});
    p.setPen(QPen(QColor(70, 60, 60, 150), 1));
    wing(wingsUp ? -44 : 62); // the far wing, half hidden by the body
    p.restore();
}

// Short strokes in the picture's own colours, as a brush would leave them.
void brushOver(QImage& image, int strokes, double width, int alpha)
{
    const QImage source = image.copy();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < strokes; ++i) {
        const int x = rng.bounded(kWidth);
        const int y = rng.bounded(kHeight);
        QColor c = source.pixelColor(x, y);
        c.setAlpha(alpha);
        const double angle = y > kHorizon ? uniform(-0.15, 0.15) : uniform(-0.6, 0.6);
        const double len = uniform(6, 18);
        p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, y), QPointF(x + std::cos(angle) * len, y + std::sin(angle) * len));
    }
}

void paintVignette(QPainter& p)
{
    QRadialGradient edge(QPointF(kWidth / 2.0, kHeight / 2.0), kWidth * 0.75);
    edge.setColorAt(0.6, QColor(0, 0, 0, 0));
    edge.setColorAt(1.0, QColor(20, 12, 6, 110));
    p.fillRect(0, 0, kWidth, kHeight, edge);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_picture out.jpg\n");
        return 2;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        paintSky(p);
        paintMountains(p);
    }
    paintLake(image);
    brushOver(image, 90000, 4.0, 100);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        paintBank(p);
        paintStandingCrane(p, QPointF(930, 700), 0.95);
        paintFlyingCrane(p, QPointF(700, 170), 1.0, true);
        paintFlyingCrane(p, QPointF(820, 235), 0.8, false);
        paintFlyingCrane(p, QPointF(1090, 140), 0.5, true);
        paintDeer(p, QPointF(430, 708), 0.95, true, false, true);
        paintDeer(p, QPointF(300, 690), 0.8, false, true, false);
        paintPine(p);
    }
    brushOver(image, 16000, 1.6, 55);
    {
        QPainter p(&image);
        paintVignette(p);
    }
    return image.save(QString::fromLocal8Bit(argv[1]), "JPG", 90) ? 0 : 1;
}
