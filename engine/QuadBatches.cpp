#include "QuadBatches.h"

#include "SfmlCompat.h"

#include <algorithm>

namespace ks {

namespace {

// Pixels per side of the squares in which the textured pass notes which batch drew there last.
const int ORDER_TILE = 8;

void appendQuad(std::vector<sf::Vertex>& out, const PixelRect& r, sf::Color color, float u1, float v1, float u2,
                float v2)
{
    // Corners copied from one vertex and changed: SFML 2's sf::Vertex constructors are calls
    // into the library, which would cost four a quad.
    static const sf::Vertex blank;
    sf::Vertex topLeft = blank;
    topLeft.color = color;
    sf::Vertex topRight = topLeft, bottomLeft = topLeft, bottomRight = topLeft;
    topLeft.position = {r.left, r.top};
    topLeft.texCoords = {u1, v1};
    topRight.position = {r.right, r.top};
    topRight.texCoords = {u2, v1};
    bottomLeft.position = {r.left, r.bottom};
    bottomLeft.texCoords = {u1, v2};
    bottomRight.position = {r.right, r.bottom};
    bottomRight.texCoords = {u2, v2};
    compat::appendQuad(out, topLeft, topRight, bottomLeft, bottomRight);
}

} // namespace

QuadBatches::QuadBatches(int width, int height, sf::Color boxColor)
    : width(width),
      height(height),
      boxColor(boxColor),
      tileColumns((width + ORDER_TILE - 1) / ORDER_TILE),
      lastBatchAt(static_cast<std::size_t>(tileColumns * ((height + ORDER_TILE - 1) / ORDER_TILE)), -1)
{}

void QuadBatches::reserveBoxes(std::size_t boxes)
{
    boxVertices.reserve(boxes * compat::QUAD_VERTICES);
}

void QuadBatches::beginFrame(bool newRowsApart)
{
    rowsApart = newRowsApart;
    if (!rowsApart)
        std::fill(lastBatchAt.begin(), lastBatchAt.end(), -1);
}

void QuadBatches::addBox(const PixelRect& r, float rowY)
{
    if (extendLastBox(r, rowY))
        return;
    if (boxBatches.empty() || boxBatches.back().rowY != rowY)
        boxBatches.push_back(Batch{boxVertices.size(), 0, rowY});
    appendQuad(boxVertices, r, boxColor, 0, 0, 0, 0);
    boxBatches.back().count += compat::QUAD_VERTICES;
}

// Boxes along a row meet edge to edge: the box that starts exactly where the last one ends
// widens it instead of adding a quad, which covers the same pixels with fewer triangles.
bool QuadBatches::extendLastBox(const PixelRect& r, float rowY)
{
    if (boxBatches.empty() || boxBatches.back().rowY != rowY || boxBatches.back().count == 0)
        return false;
    sf::Vertex* quad = &boxVertices[boxVertices.size() - compat::QUAD_VERTICES];
    // The first vertex is the top-left corner, the third on the bottom edge in either order.
    if (quad[compat::RIGHT_EDGE[0]].position.x != r.left || quad[0].position.y != r.top ||
        quad[2].position.y != r.bottom)
        return false;
    for (std::size_t i : compat::RIGHT_EDGE)
        quad[i].position.x = r.right;
    return true;
}

void QuadBatches::addQuad(Texture texture, float rowY, const PixelRect& r, sf::Color color, float u1, float v1,
                          float u2, float v2)
{
    if (rowsApart)
    {
        int& open = latestBatch(texture, rowY);
        if (open < 0)
            openBatch(open, texture, rowY);
        appendQuad(pool[static_cast<std::size_t>(open)], r, color, u1, v1, u2, v2);
        return;
    }
    // Where the quad may leave ink, as the order of batches must see it.
    const PixelSpan s = touchedPixels(grown(moved(r, rowY), INK_MARGIN), width, height);
    const int c0 = s.x0 / ORDER_TILE, r0 = s.y0 / ORDER_TILE;
    const int c1 = (s.x1 + ORDER_TILE - 1) / ORDER_TILE, r1 = (s.y1 + ORDER_TILE - 1) / ORDER_TILE;
    int after = -1;
    for (int row = r0; row < r1; row++)
        for (int column = c0; column < c1; column++)
            after = std::max(after, lastBatchAt[static_cast<std::size_t>(row * tileColumns + column)]);
    int& open = latestBatch(texture, rowY);
    if (open < after || open < 0)
        openBatch(open, texture, rowY);
    const int batch = open;
    appendQuad(pool[static_cast<std::size_t>(batch)], r, color, u1, v1, u2, v2);
    for (int row = r0; row < r1; row++)
        for (int column = c0; column < c1; column++)
            lastBatchAt[static_cast<std::size_t>(row * tileColumns + column)] = batch;
}

// Starts a new batch of that texture and row as the latest one.
void QuadBatches::openBatch(int& open, Texture texture, float rowY)
{
    open = static_cast<int>(ordered.size());
    if (pool.size() <= ordered.size())
        pool.emplace_back();
    ordered.push_back(Ordered{rowY, texture});
}

// The last batch of the textured pass with that texture and row (-1 before the first): quads
// come row after row, so the last answer is asked for again most often.
int& QuadBatches::latestBatch(Texture texture, float rowY)
{
    if (latestHit < latest.size() && latest[latestHit].texture == texture && latest[latestHit].rowY == rowY)
        return latest[latestHit].batch;
    for (latestHit = 0; latestHit < latest.size(); latestHit++)
        if (latest[latestHit].texture == texture && latest[latestHit].rowY == rowY)
            return latest[latestHit].batch;
    latest.push_back(Latest{texture, rowY, -1});
    return latest.back().batch;
}

void QuadBatches::draw(sf::RenderTarget& target, const sf::Texture* atlas, const sf::Texture* page) const
{
    sf::RenderStates boxStates = sf::RenderStates::Default;
    boxStates.blendMode = sf::BlendNone;
    for (const Batch& batch : boxBatches)
    {
        sf::RenderStates row = boxStates;
        row.transform.translate({0.f, batch.rowY});
        compat::drawQuads(target, &boxVertices[batch.first], batch.count, row);
    }
    const sf::Texture* textures[TEXTURES] = {atlas, page};
    for (std::size_t i = 0; i < ordered.size(); i++)
    {
        sf::RenderStates row = sf::RenderStates::Default;
        row.texture = textures[ordered[i].texture];
        row.transform.translate({0.f, ordered[i].rowY});
        compat::drawQuads(target, pool[i].data(), pool[i].size(), row);
    }
}

void QuadBatches::clear()
{
    for (std::size_t i = 0; i < ordered.size(); i++)
        pool[i].clear();
    ordered.clear();
    latest.clear();
    boxVertices.clear();
    boxBatches.clear();
}

} // namespace ks
