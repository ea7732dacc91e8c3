// Where recorded glyphs may have left ink: the answers the display's box repaints rely on.
#include <gtest/gtest.h>

#include "InkMap.h"

#include <algorithm>
#include <random>
#include <vector>

namespace {

// A box repainted too small would let an earlier glyph show through it: every point of the
// box inside any ink must be inside the answer, and the answer never leaves the box.
TEST(InkMap, AnswersHoldAllInkInsideTheBoxAndNothingOutsideIt)
{
    using Rect = ks::InkMap::Rect;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> x(-40.f, 1064.f), y(-40.f, 808.f), size(0.5f, 40.f);
    auto randomRect = [&] {
        const float left = x(random), top = y(random);
        return Rect{left, top, left + size(random), top + size(random)};
    };
    ks::InkMap map(1024, 768);
    const Rect window{0, 0, 1024, 768};
    auto meet = [](const Rect& a, const Rect& b) {
        return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
    };
    for (int round = 0; round < 20; round++)
    {
        map.clear();
        std::vector<Rect> ink(static_cast<size_t>(round * 10));
        for (Rect& r : ink)
        {
            r = randomRect();
            map.add(r);
        }
        for (int b = 0; b < 50; b++)
        {
            const Rect box = randomRect();
            const Rect over = map.inkWithin(box);
            if (!over.isEmpty())
            {
                EXPECT_TRUE(over.left >= box.left && over.top >= box.top && over.right <= box.right &&
                            over.bottom <= box.bottom);
            }
            // The ink inside the box (and the window) is a rectangle; the answer must hold it.
            for (const Rect& r : ink)
            {
                const Rect shared = meet(meet(r, box), window);
                const bool held = shared.isEmpty() || (shared.left >= over.left && shared.top >= over.top &&
                                                       shared.right <= over.right && shared.bottom <= over.bottom);
                EXPECT_TRUE(held) << "ink " << r.left << "," << r.top << " - " << r.right << "," << r.bottom;
            }
        }
    }
    // Nothing is left after a clear, and a box away from all ink gets nothing.
    map.add({100, 100, 120, 130});
    EXPECT_FALSE(map.inkWithin({110, 90, 122, 122}).isEmpty());
    EXPECT_TRUE(map.inkWithin({200, 100, 212, 132}).isEmpty());
    map.clear();
    EXPECT_TRUE(map.inkWithin({110, 90, 122, 122}).isEmpty());
}

} // namespace
