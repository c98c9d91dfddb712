// The icon: a tilted sheet of pale-yellow ruled paper with some writing on it.
// Drawn in a 256-unit square and scaled; line widths are kept at least about
// one device pixel so the rules survive at 16 px.

#include "art.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kSheetW = 156;
constexpr double kSheetH = 204;
constexpr double kTiltDegrees = -13;

// Hand-picked rather than random so every run gives the same picture.
constexpr double kLineFill[] = {0.92, 0.70, 0.96, 0.55, 0.88, 0.78, 0.36, 0.84, 0.66};
constexpr double kWordBreak[] = {0.42, 0.58, 0.35, 0.0, 0.50, 0.30, 0.0, 0.62, 0.45};
constexpr int kLetterHeight[] = {1, 0, 0, 2, 0, 1, 0, 0, 2, 0, 0, 1, 2, 0, 0, 0, 1, 0, 2, 0, 0, 1};

struct Detail {
    int rules;        // number of ruled lines
    bool dogEar;
    bool shadow;
    int inkStyle;     // 0 dashes, 1 waves, 2 looped cursive
    double px;        // units per device pixel
    double grow;      // small icons use more of their square
};

Detail detailFor(int size)
{
    const double px = 256.0 / size;
    if (size <= 16)
        return {4, false, false, 0, px, 1.06};
    if (size <= 24)
        return {5, false, false, 0, px, 1.04};
    if (size <= 32)
        return {6, true, true, 1, px, 1.0};
    if (size <= 48)
        return {7, true, true, 1, px, 1.0};
    return {9, true, true, 2, px, 1.0};
}

QPainterPath sheetOutline(double dogEar)
{
    const double l = -kSheetW / 2, t = -kSheetH / 2, r = kSheetW / 2, b = kSheetH / 2;
    QPainterPath path;
    path.moveTo(l, t);
    path.lineTo(r - dogEar, t);
    path.lineTo(r, t + dogEar);
    path.lineTo(r, b);
    path.lineTo(l, b);
    path.closeSubpath();
    return path;
}

// Cursive writing as a prolate trochoid: each turn makes one letter looped at
// the top, like a run of e's and l's.
QPainterPath loopedWord(double x0, double x1, double baseline, double xHeight)
{
    QPainterPath path;
    const double letterW = xHeight * 1.05;
    const int letters = std::max(1, int((x1 - x0) / letterW));
    const double a = letterW / (2 * std::numbers::pi);
    const double b = a * 2.3;
    const int steps = 18;
    bool first = true;
    for (int k = 0; k < letters; ++k) {
        const int kind = kLetterHeight[(k + int(x0)) % std::size(kLetterHeight)];
        const double h = xHeight * (kind == 2 ? 2.1 : kind == 1 ? 1.25 : 1.0);
        for (int s = 0; s <= steps; ++s) {
            if (!first && s == 0)
                continue;
            const double t = 2 * std::numbers::pi * (k + double(s) / steps);
            const double y = baseline - h * (1 - std::cos(t)) / 2;
            const double x = x0 + a * t + b * std::sin(t) + (baseline - y) * 0.3; // slant
            if (first) {
                path.moveTo(x, y);
                first = false;
            } else {
                path.lineTo(x, y);
            }
        }
    }
    return path;
}

QPainterPath wavyWord(double x0, double x1, double baseline, double height)
{
    QPainterPath path;
    const double wave = height * 1.1;
    path.moveTo(x0, baseline - height * 0.5);
    for (double x = x0; x < x1; x += wave / 6) {
        const double t = (x - x0) / wave * 2 * std::numbers::pi;
        path.lineTo(x, baseline - height * (0.5 - 0.5 * std::sin(t)));
    }
    return path;
}

void boxBlurAlpha(QImage& img, int radius)
{
    if (radius < 1)
        return;
    const int w = img.width(), h = img.height();
    std::vector<int> a(size_t(w) * h), tmp(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            a[size_t(y) * w + x] = qAlpha(img.pixel(x, y));
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sum = 0, n = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int xx = x + k;
                    if (xx >= 0 && xx < w) sum += a[size_t(y) * w + xx];
                    ++n;
                }
                tmp[size_t(y) * w + x] = sum / n;
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sum = 0, n = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int yy = y + k;
                    if (yy >= 0 && yy < h) sum += tmp[size_t(yy) * w + x];
                    ++n;
                }
                a[size_t(y) * w + x] = sum / n;
            }
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgba(0, 0, 0, a[size_t(y) * w + x]));
}

void placeSheet(QPainter& p, int size, double grow)
{
    p.scale(size / 256.0, size / 256.0);
    p.translate(128, 126);
    p.rotate(kTiltDegrees);
    p.scale(grow, grow);
}

} // namespace

QImage drawIcon(int size)
{
    const Detail d = detailFor(size);
    const double dogEar = d.dogEar ? 30 : 0;
    const QPainterPath outline = sheetOutline(dogEar);

    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);

    if (d.shadow) {
        QImage shadow(size, size, QImage::Format_ARGB32);
        shadow.fill(Qt::transparent);
        {
            QPainter sp(&shadow);
            sp.setRenderHint(QPainter::Antialiasing);
            placeSheet(sp, size, d.grow);
            sp.translate(5, 7);
            sp.fillPath(outline, QColor(40, 30, 10, 110));
        }
        boxBlurAlpha(shadow, std::max(1, size / 48));
        QPainter ip(&img);
        ip.drawImage(0, 0, shadow);
    }

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    placeSheet(p, size, d.grow);

    const double l = -kSheetW / 2, t = -kSheetH / 2, r = kSheetW / 2, b = kSheetH / 2;
    const bool small = size <= 24;

    QLinearGradient paper(l, t, r, b);
    paper.setColorAt(0, QColor(0xff, 0xfb, 0xd2));
    paper.setColorAt(1, QColor(0xf7, 0xe8, 0x9c));
    p.fillPath(outline, paper);

    p.save();
    p.setClipPath(outline);

    // Ruled lines, leaving a header band at the top as real pads do.
    const double top = t + kSheetH * (small ? 0.22 : 0.19);
    const double bottom = b - kSheetH * (small ? 0.12 : 0.08);
    const double step = d.rules > 1 ? (bottom - top) / (d.rules - 1) : 0;
    const double ruleW = std::max(d.px * (small ? 1.05 : 0.8), 2.6);
    const QColor ruleColour = small ? QColor(0x5f, 0x78, 0xa0) : QColor(0x86, 0x9c, 0xbe);
    p.setPen(QPen(ruleColour, ruleW, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < d.rules; ++i) {
        const double y = top + i * step;
        p.drawLine(QPointF(l, y), QPointF(r, y));
    }

    // Red margin.
    const double margin = l + kSheetW * (small ? 0.24 : 0.2);
    p.setPen(QPen(small ? QColor(0xd8, 0x3a, 0x3a) : QColor(0xe0, 0x5a, 0x5a),
                  std::max(d.px * 0.9, 2.4), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(margin, t), QPointF(margin, b));

    // The writing.
    const QColor ink(0x24, 0x2c, 0x4c);
    const double inkW = std::max(d.px * 0.95, d.inkStyle == 2 ? 2.3 : 3.2);
    p.setPen(QPen(ink, inkW, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const double textLeft = margin + std::max(d.px * 1.2, 6.0);
    const double textRight = r - std::max(d.px * 1.0, 8.0);
    for (int i = 0; i < d.rules; ++i) {
        // At the smallest sizes ink on every rule would merge into dark bands.
        if (small && i % 2 == 1)
            continue;
        const double baseline = top + i * step;
        const double fill = kLineFill[i % std::size(kLineFill)];
        const double end = textLeft + (textRight - textLeft) * fill;
        const double brk = kWordBreak[i % std::size(kWordBreak)];
        const double gap = std::max(d.px * 1.6, step * 0.35);
        QList<std::pair<double, double>> words;
        if (brk > 0 && !small) {
            const double mid = textLeft + (end - textLeft) * brk;
            words.append({textLeft, mid - gap / 2});
            words.append({mid + gap / 2, end});
        } else {
            words.append({textLeft, end});
        }
        for (const auto& [x0, x1] : words) {
            if (x1 - x0 < inkW)
                continue;
            if (d.inkStyle == 0) {
                // Too small for letters: the ink sits on the rule as a dark dash.
                p.drawLine(QPointF(x0, baseline), QPointF(x1, baseline));
            } else if (d.inkStyle == 1) {
                p.drawPath(wavyWord(x0, x1, baseline - ruleW * 0.5, step * 0.42));
            } else {
                p.drawPath(loopedWord(x0, x1 - step * 0.3, baseline - ruleW * 0.6, step * 0.36));
            }
        }
    }
    p.restore();

    const QColor edge = small ? QColor(0x8a, 0x72, 0x2c) : QColor(0xa8, 0x8e, 0x44);
    const double edgeW = std::max(d.px * (small ? 1.0 : 0.9), 2.4);
    p.setPen(QPen(edge, edgeW, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);

    if (d.dogEar) {
        QPainterPath fold;
        fold.moveTo(r - dogEar, t);
        fold.lineTo(r - dogEar + 3, t + dogEar - 3);
        fold.lineTo(r, t + dogEar);
        fold.closeSubpath();
        QLinearGradient back(r - dogEar, t, r, t + dogEar);
        back.setColorAt(0, QColor(0xe4, 0xd2, 0x7c));
        back.setColorAt(1, QColor(0xf8, 0xee, 0xb4));
        p.setBrush(back);
        p.setPen(QPen(edge, edgeW * 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(fold);
    }
    p.end();

    return img.convertToFormat(QImage::Format_ARGB32);
}
