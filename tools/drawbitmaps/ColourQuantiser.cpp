// SPDX-License-Identifier: GPL-2.0-or-later
#include "ColourQuantiser.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace {

int Channel(QRgb colour, int channel)
{
    switch (channel) {
    case 0:
        return qRed(colour);
    case 1:
        return qGreen(colour);
    default:
        return qBlue(colour);
    }
}

constexpr int kChannels = 3;

} // namespace

CColourQuantiser::CColourQuantiser(int maxColours, QList<QRgb> exactColours)
    : m_maxColours(maxColours), m_exactColours(std::move(exactColours))
{
}

QImage CColourQuantiser::Quantise(const QImage& image) const
{
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    const QList<QRgb> palette = BuildPalette(source);
    QImage indexed(source.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    QHash<QRgb, int> lookup;
    for (int y = 0; y < source.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < source.width(); ++x) {
            auto found = lookup.constFind(row[x]);
            if (found == lookup.constEnd())
                found = lookup.insert(row[x], Nearest(palette, row[x]));
            out[x] = uchar(found.value());
        }
    }
    return indexed;
}

QList<QRgb> CColourQuantiser::BuildPalette(const QImage& image) const
{
    QHash<QRgb, int> histogram;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++histogram[row[x] | 0xFF000000u];
    }
    // Exact colours that occur take their entries first; the rest share what is left.
    QList<QRgb> palette;
    for (QRgb exact : m_exactColours) {
        const QRgb opaque = exact | 0xFF000000u;
        if (histogram.remove(opaque) > 0 && palette.size() < m_maxColours)
            palette.append(opaque);
    }
    Box rest;
    for (auto it = histogram.constBegin(); it != histogram.constEnd(); ++it)
        rest.push_back({it.key(), it.value()});
    // The hash's order changes from run to run; sorting keeps the files reproducible.
    std::sort(rest.begin(), rest.end(),
              [](const Weighted& a, const Weighted& b) { return a.colour < b.colour; });
    const int budget = m_maxColours - int(palette.size());
    if (int(rest.size()) <= budget) {
        for (const Weighted& w : rest)
            palette.append(w.colour);
        return palette;
    }
    palette.append(MedianCut(std::move(rest), budget));
    return palette;
}

QList<QRgb> CColourQuantiser::MedianCut(Box colours, int boxCount) const
{
    std::vector<Box> boxes;
    boxes.push_back(std::move(colours));
    while (int(boxes.size()) < boxCount) {
        // Split the box whose spread, weighted by how much of the picture it covers,
        // costs the most.
        int worst = -1;
        double worstScore = 0;
        for (int i = 0; i < int(boxes.size()); ++i) {
            if (boxes[i].size() < 2)
                continue;
            int range = 0;
            LongestChannel(boxes[i], &range);
            long weight = 0;
            for (const Weighted& w : boxes[i])
                weight += w.count;
            const double score = range * std::sqrt(double(weight));
            if (score > worstScore) {
                worstScore = score;
                worst = i;
            }
        }
        if (worst < 0)
            break;
        Box& box = boxes[worst];
        int range = 0;
        const int channel = LongestChannel(box, &range);
        std::sort(box.begin(), box.end(), [channel](const Weighted& a, const Weighted& b) {
            return Channel(a.colour, channel) < Channel(b.colour, channel);
        });
        long total = 0;
        for (const Weighted& w : box)
            total += w.count;
        long seen = 0;
        size_t cut = 1;
        for (; cut < box.size() - 1; ++cut) {
            seen += box[cut - 1].count;
            if (seen * 2 >= total)
                break;
        }
        Box upper(box.begin() + long(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }
    QList<QRgb> palette;
    for (const Box& box : boxes)
        palette.append(AverageOf(box));
    return palette;
}

int CColourQuantiser::LongestChannel(const Box& box, int* range)
{
    int best = 0;
    *range = -1;
    for (int channel = 0; channel < kChannels; ++channel) {
        int low = 255;
        int high = 0;
        for (const Weighted& w : box) {
            low = std::min(low, Channel(w.colour, channel));
            high = std::max(high, Channel(w.colour, channel));
        }
        if (high - low > *range) {
            *range = high - low;
            best = channel;
        }
    }
    return best;
}

QRgb CColourQuantiser::AverageOf(const Box& box)
{
    double sums[kChannels] = {};
    double weight = 0;
    for (const Weighted& w : box) {
        for (int channel = 0; channel < kChannels; ++channel)
            sums[channel] += double(Channel(w.colour, channel)) * w.count;
        weight += w.count;
    }
    return qRgb(int(std::lround(sums[0] / weight)), int(std::lround(sums[1] / weight)),
                int(std::lround(sums[2] / weight)));
}

int CColourQuantiser::Nearest(const QList<QRgb>& palette, QRgb colour)
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < int(palette.size()); ++i) {
        long distance = 0;
        for (int channel = 0; channel < kChannels; ++channel) {
            const long d = Channel(palette[i], channel) - Channel(colour, channel);
            distance += d * d;
        }
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}
