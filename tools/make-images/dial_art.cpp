// A close-up "photograph" of a backlit receiver tuning scale. Painted at twice
// the final size, then softened, vignetted and given film grain so it does not
// look like a vector drawing. The grain comes from a fixed-seed generator.

#include "art.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

constexpr int kWidth = 244;
constexpr int kHeight = 287;
constexpr int kOver = 2; // oversampling factor

constexpr double kScaleLeft = 60;
constexpr double kScaleRight = 214;
constexpr double kPointerX = 151.5;

const QColor kPrint(0x2a, 0x15, 0x06, 235);

struct Band {
    const char* name;
    double from, to;     // value range of the scale row
    double minor;        // minor tick spacing
    double major;        // labelled tick spacing
    int decimals;
};

// Each band is spread over the full width, as on a bandspread dial.
constexpr std::array<Band, 5> kBands{{
    {"80m", 3.45, 3.85, 0.02, 0.1, 1},
    {"40m", 6.98, 7.22, 0.01, 0.05, 2},
    {"20m", 13.97, 14.37, 0.02, 0.1, 1},
    {"15m", 20.96, 21.47, 0.02, 0.1, 1},
    {"10m", 27.9, 29.8, 0.1, 0.5, 1},
}};

QFont dialFont(double pixelSize, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("DejaVu Sans Condensed"),
                   QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(int(pixelSize * kOver));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Text positions are given in final pixels; the painter is scaled by kOver,
// so fonts are created at kOver size and drawn unscaled.
void drawText(QPainter& p, const QFont& font, double cx, double baseline, const QString& s,
              bool centred = true)
{
    p.save();
    p.scale(1.0 / kOver, 1.0 / kOver);
    p.setFont(font);
    const double w = p.fontMetrics().horizontalAdvance(s);
    p.drawText(QPointF(cx * kOver - (centred ? w / 2 : 0), baseline * kOver), s);
    p.restore();
}

QString label(double v, int decimals)
{
    QString s = QString::number(v, 'f', decimals);
    // "7.05" style labels keep their digits; "28.0" reads better as "28".
    if (decimals == 1 && s.endsWith(QLatin1String(".0")) && v >= 20)
        s.chop(2);
    return s;
}

void drawBandRow(QPainter& p, const Band& band, double y)
{
    const auto xOf = [&](double v) {
        return kScaleLeft + (v - band.from) / (band.to - band.from) * (kScaleRight - kScaleLeft);
    };
    p.setPen(QPen(kPrint, 0.9, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(kScaleLeft - 2, y), QPointF(kScaleRight + 2, y));

    const QFont numbers = dialFont(8.2, false);
    const double firstMinor = std::ceil(band.from / band.minor - 1e-9) * band.minor;
    for (double v = firstMinor; v <= band.to + 1e-9; v += band.minor) {
        const double ratio = v / band.major;
        const bool major = std::abs(ratio - std::round(ratio)) < 1e-6;
        const double halfRatio = v / (band.major / 2);
        const bool half = !major && std::abs(halfRatio - std::round(halfRatio)) < 1e-6;
        const double len = major ? 6.0 : half ? 4.2 : 2.6;
        p.setPen(QPen(kPrint, major ? 1.0 : 0.7, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(xOf(v), y), QPointF(xOf(v), y - len));
        if (major) {
            p.setPen(kPrint);
            drawText(p, numbers, xOf(v), y - 8, label(v, band.decimals));
        }
    }
    p.setPen(kPrint);
    drawText(p, dialFont(8.6, true), 22, y - 2, QString::fromLatin1(band.name), false);
}

void drawLoggingScale(QPainter& p, double y)
{
    p.setPen(QPen(kPrint, 0.9, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(kScaleLeft - 2, y), QPointF(kScaleRight + 2, y));
    const QFont numbers = dialFont(6.8, false);
    for (int i = 0; i <= 100; i += 2) {
        const double x = kScaleLeft + i / 100.0 * (kScaleRight - kScaleLeft);
        const bool major = i % 10 == 0;
        p.setPen(QPen(kPrint, major ? 0.9 : 0.6, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(x, y), QPointF(x, y + (major ? 4.5 : 2.4)));
        if (major) {
            p.setPen(kPrint);
            drawText(p, numbers, x, y + 11.5, QString::number(i));
        }
    }
}

void paintScene(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(kOver, kOver);

    // Cabinet.
    QLinearGradient cabinet(0, 0, 0, kHeight);
    cabinet.setColorAt(0, QColor(0x1f, 0x13, 0x0a));
    cabinet.setColorAt(1, QColor(0x0b, 0x07, 0x04));
    p.fillRect(QRectF(0, 0, kWidth, kHeight), cabinet);

    // The photo is not quite square to the set.
    p.translate(kWidth / 2.0, kHeight / 2.0);
    p.rotate(-1.6);
    p.translate(-kWidth / 2.0, -kHeight / 2.0);

    const QRectF window(16, 30, 212, 200);
    const QPointF centre = window.center();

    // Light spilling from the dial onto the cabinet front.
    QRadialGradient spill(centre, 175);
    spill.setColorAt(0.0, QColor(0xff, 0xa0, 0x40, 90));
    spill.setColorAt(0.6, QColor(0xc0, 0x60, 0x20, 35));
    spill.setColorAt(1.0, QColor(0x80, 0x40, 0x10, 0));
    p.fillRect(QRectF(-20, -20, kWidth + 40, kHeight + 40), spill);

    // Knob in the foreground, partly out of frame, catching the dial light.
    {
        const QPointF kc(176, 306);
        const double kr = 60;
        QRadialGradient body(kc + QPointF(-10, -40), 90);
        body.setColorAt(0, QColor(0x4a, 0x32, 0x1c));
        body.setColorAt(0.6, QColor(0x1c, 0x12, 0x0a));
        body.setColorAt(1, QColor(0x08, 0x05, 0x03));
        p.setPen(Qt::NoPen);
        p.setBrush(body);
        p.drawEllipse(kc, kr, kr);
        for (int i = 0; i < 90; ++i) {
            const double a = i * 2 * std::numbers::pi / 90;
            const double lit = std::max(0.0, -std::sin(a)) * (0.6 + 0.4 * std::cos(a + 0.5));
            p.setPen(QPen(QColor(0xd8, 0x9a, 0x58, int(20 + 130 * lit)), 0.8));
            p.drawLine(kc + QPointF(std::cos(a), std::sin(a)) * (kr - 4),
                       kc + QPointF(std::cos(a), std::sin(a)) * kr);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0xe8, 0xb8, 0x78, 120), 1.2));
        p.drawArc(QRectF(kc.x() - kr + 8, kc.y() - kr + 8, 2 * kr - 16, 2 * kr - 16), 40 * 16, 100 * 16);
    }

    // Bezel.
    const QRectF bezel = window.adjusted(-8, -8, 8, 8);
    QLinearGradient rim(bezel.topLeft(), bezel.bottomLeft());
    rim.setColorAt(0, QColor(0x3a, 0x26, 0x16));
    rim.setColorAt(0.5, QColor(0x1a, 0x10, 0x08));
    rim.setColorAt(1, QColor(0x2e, 0x1c, 0x0e));
    p.setPen(QPen(QColor(0x5a, 0x3e, 0x24), 0.8));
    p.setBrush(rim);
    p.drawRoundedRect(bezel, 9, 9);
    p.setPen(QPen(QColor(0x8a, 0x60, 0x36, 150), 1.0));
    p.drawLine(QPointF(bezel.left() + 9, bezel.top() + 1), QPointF(bezel.right() - 9, bezel.top() + 1));

    // Backlit face.
    QPainterPath facePath;
    facePath.addRoundedRect(window, 5, 5);
    p.save();
    p.setClipPath(facePath);
    QRadialGradient face(centre + QPointF(-4, -6), 150);
    face.setColorAt(0.00, QColor(0xff, 0xf5, 0xda));
    face.setColorAt(0.30, QColor(0xff, 0xe2, 0xa0));
    face.setColorAt(0.62, QColor(0xf0, 0xa8, 0x48));
    face.setColorAt(0.85, QColor(0xb0, 0x60, 0x18));
    face.setColorAt(1.00, QColor(0x60, 0x2c, 0x08));
    p.fillRect(window, face);

    // Two lamps behind the glass make brighter patches.
    p.setCompositionMode(QPainter::CompositionMode_Screen);
    for (const QPointF lamp : {QPointF(62, 120), QPointF(188, 128)}) {
        QRadialGradient g(lamp, 62);
        g.setColorAt(0, QColor(0xff, 0xe8, 0xb0, 120));
        g.setColorAt(1, QColor(0xff, 0xc0, 0x60, 0));
        p.fillRect(window, g);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // Printing.
    p.setPen(kPrint);
    drawText(p, dialFont(14, true), centre.x() + 6, window.top() + 20, QStringLiteral("MHz"));
    p.setPen(QPen(kPrint, 0.8));
    p.drawLine(QPointF(kScaleLeft - 2, window.top() + 26), QPointF(kScaleRight + 2, window.top() + 26));
    double y = window.top() + 52;
    for (const Band& band : kBands) {
        drawBandRow(p, band, y);
        y += 29;
    }
    drawLoggingScale(p, y - 8);

    // The pointer: its shadow on the face first, then a soft red glow, then the needle.
    p.setPen(QPen(QColor(0x30, 0x10, 0x00, 45), 4.5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(kPointerX + 3.2, window.top()), QPointF(kPointerX + 3.2, window.bottom()));
    p.setPen(QPen(QColor(0xff, 0x40, 0x20, 55), 6.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(kPointerX, window.top()), QPointF(kPointerX, window.bottom()));
    p.setPen(QPen(QColor(0xd8, 0x1c, 0x12), 2.3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(kPointerX, window.top()), QPointF(kPointerX, window.bottom()));
    p.setPen(QPen(QColor(0xff, 0x7a, 0x5a, 170), 0.7, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(kPointerX - 0.4, window.top()), QPointF(kPointerX - 0.4, window.bottom()));

    // The bezel shades the top of the glass.
    QLinearGradient shade(0, window.top(), 0, window.top() + 16);
    shade.setColorAt(0, QColor(0x20, 0x0c, 0x00, 150));
    shade.setColorAt(1, QColor(0x20, 0x0c, 0x00, 0));
    p.fillRect(window, shade);

    // A faint reflection on the glass.
    QPainterPath glare;
    glare.moveTo(window.left() + 20, window.top());
    glare.lineTo(window.left() + 90, window.top());
    glare.lineTo(window.left() + 10, window.bottom());
    glare.lineTo(window.left() - 60, window.bottom());
    glare.closeSubpath();
    QLinearGradient glareFill(window.left(), window.top(), window.left() + 60, window.top() + 40);
    glareFill.setColorAt(0, QColor(255, 255, 255, 0));
    glareFill.setColorAt(0.5, QColor(255, 250, 235, 28));
    glareFill.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(glare, glareFill);
    p.restore();
}

// xorshift32: tiny, and its output is the same on every platform.
struct Grain {
    std::uint32_t state = 0x5eed1234u;
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state >> 8) / double(1u << 24);
    }
    // Roughly bell-shaped in [-1, 1].
    double bell() { return (next() + next() + next()) / 1.5 - 1.0; }
};

std::vector<double> blurChannel(const std::vector<double>& src, int w, int h)
{
    static constexpr double k[5] = {1 / 16.0, 4 / 16.0, 6 / 16.0, 4 / 16.0, 1 / 16.0};
    std::vector<double> tmp(src.size()), out(src.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double s = 0;
            for (int i = -2; i <= 2; ++i)
                s += k[i + 2] * src[size_t(y) * w + std::clamp(x + i, 0, w - 1)];
            tmp[size_t(y) * w + x] = s;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double s = 0;
            for (int i = -2; i <= 2; ++i)
                s += k[i + 2] * tmp[size_t(std::clamp(y + i, 0, h - 1)) * w + x];
            out[size_t(y) * w + x] = s;
        }
    return out;
}

} // namespace

QImage drawDial()
{
    QImage big(kWidth * kOver, kHeight * kOver, QImage::Format_RGB32);
    {
        QPainter p(&big);
        paintScene(p);
    }
    const QImage small = big.scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_RGB32);

    const int w = kWidth, h = kHeight;
    std::array<std::vector<double>, 3> ch;
    for (auto& c : ch)
        c.resize(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb px = small.pixel(x, y);
            ch[0][size_t(y) * w + x] = qRed(px);
            ch[1][size_t(y) * w + x] = qGreen(px);
            ch[2][size_t(y) * w + x] = qBlue(px);
        }
    std::array<std::vector<double>, 3> soft;
    for (int i = 0; i < 3; ++i)
        soft[i] = blurChannel(ch[i], w, h);

    Grain grain;
    QImage out(w, h, QImage::Format_RGB32);
    const double cx = w / 2.0, cy = h * 0.46;
    const double rmax = std::hypot(cx, h - cy);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * w + x;
            // Focus is on the middle rows; the lens softens the top and bottom.
            const double dy = std::abs(y - cy) / (h / 2.0);
            const double blur = std::clamp(0.45 + 0.55 * dy * dy, 0.0, 1.0);
            const double r = std::hypot(x - cx, (y - cy) * 0.9) / rmax;
            const double vignette = 1.0 - 0.42 * std::pow(r, 2.2);
            const double luma = grain.bell() * 5.0;
            double c[3];
            for (int k = 0; k < 3; ++k) {
                const double v = ch[k][i] * (1 - blur) + soft[k][i] * blur;
                c[k] = v * vignette + luma + grain.bell() * 1.6;
            }
            out.setPixel(x, y, qRgb(std::clamp(int(std::lround(c[0])), 0, 255),
                                    std::clamp(int(std::lround(c[1])), 0, 255),
                                    std::clamp(int(std::lround(c[2])), 0, 255)));
        }
    return out;
}
