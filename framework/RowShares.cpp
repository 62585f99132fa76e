#include "framework/RowShares.h"

#include <algorithm>

namespace {

constexpr float kLargestAskedShare = 0.95f;
constexpr int kSmallestBarLength = 18;

} // namespace

float MinimumShare(int rowLength)
{
    if (rowLength < 1)
        return 0.05f;
    return std::min(1.0f, static_cast<float>(kSmallestBarLength) / static_cast<float>(rowLength));
}

RowCounts NormalizeRow(std::span<RowMember> row, int anchor, float minimum)
{
    RowCounts counts;
    const bool anchored = anchor >= 0 && static_cast<size_t>(anchor) < row.size() && row[static_cast<size_t>(anchor)].visible
        && row[static_cast<size_t>(anchor)].shareable && row[static_cast<size_t>(anchor)].share <= kLargestAskedShare;
    auto asks = [&](size_t i) { return (anchored && static_cast<int>(i) == anchor) || !row[i].settled; };

    float settledSum = 0.0f, askedSum = 0.0f;
    for (size_t i = 0; i < row.size(); ++i) {
        RowMember& member = row[i];
        if (!member.visible) {
            member.settled = false;
            continue;
        }
        if (asks(i)) {
            member.share = std::clamp(member.share, minimum, kLargestAskedShare);
            askedSum += member.share;
        } else {
            settledSum += member.share;
        }
        ++(member.fixedSize ? counts.fixed : counts.stretchable);
    }
    if (askedSum > 0.0f) {
        float factor = 1.0f / askedSum;
        if (settledSum > 0.0f) {
            askedSum = std::min(askedSum, kLargestAskedShare);
            factor = settledSum == askedSum ? 1.0f : settledSum / (settledSum - askedSum);
        }
        for (size_t i = 0; i < row.size(); ++i) {
            if (!row[i].visible || !asks(i))
                continue;
            row[i].share = std::max(minimum, factor * row[i].share);
            row[i].settled = true;
            settledSum += row[i].share;
        }
    }
    if (settledSum > 0.0f)
        for (RowMember& member : row)
            if (member.visible)
                member.share = std::max(minimum, member.share / settledSum);
    return counts;
}

void ExpandInRow(std::span<RowMember> row, int bar, bool expand, float minimum)
{
    for (size_t i = 0; i < row.size(); ++i)
        row[i].share = expand ? (static_cast<int>(i) == bar ? 1.0f : 0.0f) : 0.1f;
    NormalizeRow(row, bar, minimum);
}

float AddToShare(RowMember& member, float delta, float minimum)
{
    member.share += delta;
    if (member.share >= minimum)
        return 0.0f;
    const float shortfall = minimum - member.share;
    member.share = minimum;
    return shortfall;
}
