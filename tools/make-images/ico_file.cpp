// The ICO container is written by hand so the file holds exactly the entries
// we want: per size an 8-bit palettised image (for old shells and low colour
// depths) and a 32-bit one with alpha, each with its AND mask.

#include "art.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kAlphaCutoff = 128; // below this a pixel counts as transparent in the mask

struct Rgb {
    int r = 0, g = 0, b = 0;
};

void put16(QByteArray& out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void put32(QByteArray& out, qint64 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

// ---- median-cut quantiser -------------------------------------------------

struct Entry {
    Rgb c;
    qint64 count;
};

struct Box {
    int begin, end; // range in the colour list
    qint64 weight;
    int longest;    // channel with the widest spread
    int spread;
};

int channel(const Rgb& c, int ch) { return ch == 0 ? c.r : ch == 1 ? c.g : c.b; }

Box makeBox(const std::vector<Entry>& colours, int begin, int end)
{
    Box box{begin, end, 0, 0, 0};
    std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
    for (int i = begin; i < end; ++i) {
        box.weight += colours[i].count;
        for (int ch = 0; ch < 3; ++ch) {
            lo[ch] = std::min(lo[ch], channel(colours[i].c, ch));
            hi[ch] = std::max(hi[ch], channel(colours[i].c, ch));
        }
    }
    // Green matters most to the eye, blue least.
    static constexpr std::array<int, 3> kEyeWeight{3, 4, 2};
    for (int ch = 0; ch < 3; ++ch) {
        const int s = (hi[ch] - lo[ch]) * kEyeWeight[ch];
        if (s > box.spread) {
            box.spread = s;
            box.longest = ch;
        }
    }
    return box;
}

// Returns at most maxColours colours for the opaque pixels of the image.
std::vector<Rgb> buildPalette(const QImage& img, int maxColours)
{
    std::vector<Entry> colours;
    {
        std::vector<QRgb> seen;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                if (qAlpha(p) >= kAlphaCutoff)
                    seen.push_back(p | 0xff000000u);
            }
        std::sort(seen.begin(), seen.end());
        for (size_t i = 0; i < seen.size();) {
            size_t j = i;
            while (j < seen.size() && seen[j] == seen[i])
                ++j;
            colours.push_back({{qRed(seen[i]), qGreen(seen[i]), qBlue(seen[i])}, qint64(j - i)});
            i = j;
        }
    }
    if (colours.empty())
        return {};

    std::vector<Box> boxes{makeBox(colours, 0, int(colours.size()))};
    while (int(boxes.size()) < maxColours) {
        // Split where it buys most: wide boxes that also cover many pixels.
        int pick = -1;
        double best = 0;
        for (int i = 0; i < int(boxes.size()); ++i) {
            const Box& b = boxes[i];
            if (b.end - b.begin < 2)
                continue;
            const double score = double(b.spread) * std::sqrt(double(b.weight));
            if (score > best) {
                best = score;
                pick = i;
            }
        }
        if (pick < 0)
            break;
        const Box b = boxes[pick];
        const int ch = b.longest;
        std::stable_sort(colours.begin() + b.begin, colours.begin() + b.end,
                         [ch](const Entry& l, const Entry& r) {
                             return channel(l.c, ch) < channel(r.c, ch);
                         });
        qint64 acc = 0;
        int cut = b.begin + 1;
        for (int i = b.begin; i < b.end - 1; ++i) {
            acc += colours[i].count;
            cut = i + 1;
            if (acc * 2 >= b.weight)
                break;
        }
        boxes[pick] = makeBox(colours, b.begin, cut);
        boxes.push_back(makeBox(colours, cut, b.end));
    }

    std::vector<Rgb> palette;
    for (const Box& b : boxes) {
        qint64 r = 0, g = 0, bl = 0;
        for (int i = b.begin; i < b.end; ++i) {
            r += qint64(colours[i].c.r) * colours[i].count;
            g += qint64(colours[i].c.g) * colours[i].count;
            bl += qint64(colours[i].c.b) * colours[i].count;
        }
        const qint64 w = b.weight;
        palette.push_back({int((r + w / 2) / w), int((g + w / 2) / w), int((bl + w / 2) / w)});
    }
    return palette;
}

int nearest(const std::vector<Rgb>& palette, int r, int g, int b)
{
    int best = 0;
    int bestDist = INT_MAX;
    for (int i = 0; i < int(palette.size()); ++i) {
        const int dr = palette[i].r - r, dg = palette[i].g - g, db = palette[i].b - b;
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

// ---- DIB encoding ---------------------------------------------------------

void putInfoHeader(QByteArray& out, int size, int bitCount, qint64 imageBytes)
{
    put32(out, 40);       // biSize
    put32(out, size);     // biWidth
    put32(out, size * 2); // biHeight: XOR image plus AND mask
    put16(out, 1);        // biPlanes
    put16(out, bitCount);
    put32(out, 0);        // BI_RGB
    put32(out, imageBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, bitCount == 8 ? 256 : 0); // biClrUsed
    put32(out, 0);
}

void putAndMask(QByteArray& out, const QImage& img)
{
    const int stride = (img.width() + 31) / 32 * 4;
    for (int y = img.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) < kAlphaCutoff)
                row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
        out.append(row);
    }
}

qint64 andMaskBytes(int size) { return qint64((size + 31) / 32 * 4) * size; }

QByteArray dib8(const QImage& img)
{
    const int size = img.width();
    // Index 0 is kept for the transparent pixels.
    std::vector<Rgb> palette = buildPalette(img, 255);
    palette.insert(palette.begin(), Rgb{0, 0, 0});

    const int stride = (size + 3) / 4 * 4;
    QByteArray out;
    putInfoHeader(out, size, 8, qint64(stride) * size + andMaskBytes(size));
    for (int i = 0; i < 256; ++i) {
        const Rgb c = i < int(palette.size()) ? palette[i] : Rgb{};
        out.append(char(c.b));
        out.append(char(c.g));
        out.append(char(c.r));
        out.append('\0');
    }
    const std::vector<Rgb> opaque(palette.begin() + 1, palette.end());
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < size; ++x) {
            const QRgb p = img.pixel(x, y);
            if (qAlpha(p) >= kAlphaCutoff && !opaque.empty())
                row[x] = char(1 + nearest(opaque, qRed(p), qGreen(p), qBlue(p)));
        }
        out.append(row);
    }
    putAndMask(out, img);
    return out;
}

QByteArray dib32(const QImage& img)
{
    const int size = img.width();
    QByteArray out;
    putInfoHeader(out, size, 32, qint64(size) * 4 * size + andMaskBytes(size));
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            QRgb p = img.pixel(x, y);
            if (qAlpha(p) == 0)
                p = 0;
            out.append(char(qBlue(p)));
            out.append(char(qGreen(p)));
            out.append(char(qRed(p)));
            out.append(char(qAlpha(p)));
        }
    putAndMask(out, img);
    return out;
}

} // namespace

QByteArray makeIco(const QList<QImage>& images)
{
    struct Item {
        int size;
        int bits;
        QByteArray data;
    };
    std::vector<Item> items;
    for (int bits : {8, 32})
        for (const QImage& source : images) {
            const QImage img = source.convertToFormat(QImage::Format_ARGB32);
            items.push_back({img.width(), bits, bits == 8 ? dib8(img) : dib32(img)});
        }

    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // icon, not cursor
    put16(out, int(items.size()));
    qint64 offset = 6 + 16 * qint64(items.size());
    for (const Item& it : items) {
        out.append(char(it.size >= 256 ? 0 : it.size)); // width
        out.append(char(it.size >= 256 ? 0 : it.size)); // height
        out.append('\0'); // colour count: 0 also means 256
        out.append('\0');
        put16(out, 1);    // planes
        put16(out, it.bits);
        put32(out, it.data.size());
        put32(out, offset);
        offset += it.data.size();
    }
    for (const Item& it : items)
        out.append(it.data);
    return out;
}
