/// @file QuadBatches.h
/// The character batch's vertex batches: a frame's quads gathered into few draw calls.
#pragma once

#include <cstddef>
#include <vector>

#include <SFML/Graphics.hpp>

#include "PixelRect.h"

namespace ks {

/// A frame's quads in vertex batches, drawn in two passes: the boxes, all of one opaque colour,
/// untextured and without blending; then the textured quads (glyphs from the glyph atlas or
/// the font's page, and boxes painted again over ink, sampling the page's white texel) in an
/// order that gives every pixel what drawing them one by one in the order added gives. A
/// textured quad joins the last batch of its texture and row unless a later batch already drew
/// where it lies; quads apart from each other so come out of order, which changes no pixel, in
/// few draw calls. Vertices are kept from frame to frame.
///
/// Costs of the software renderer (Mesa's llvmpipe) that shape this, measured in
/// docs/rendering.md, so that they can go when they stop paying:
/// - every rectangle is a quad (compat::drawQuads), which it sets up about four times faster
///   than a pair of triangles;
/// - boxes that meet edge to edge along a row become one quad (addBox), fewer to set up;
/// - on the grid, a glyph's kept clip is cut into the strips that cost least, a quad weighed as
///   QUAD_COST_PIXELS pixels shaded and pixels counted in the RASTER_BLOCK-square blocks the
///   renderer shades at once (GlyphClipper.cpp).
/// Not a cost but SFML 2.5's rounding: there a batch of glyphs drawn whole holds one pixel row,
/// carried in its transform (compat::BATCH_ROW_IN_TRANSFORM), to round as sf::Text does.
///
///     QuadBatches quads(1024, 768, sf::Color::Black);
///     quads.beginFrame(false);
///     quads.addBox(box, rowY);
///     quads.addQuad(QuadBatches::ATLAS, 0, glyphRect, sf::Color::Green, u1, v1, u2, v2);
///     quads.draw(window, &atlasTexture, pageTexture);
///     quads.clear();
class QuadBatches
{
public:
    /// The textures of the textured pass.
    enum Texture
    {
        ATLAS,
        PAGE,
        TEXTURES
    };

    /// Batches for a width x height target whose boxes are all boxColor.
    QuadBatches(int width, int height, sf::Color boxColor);

    /// Room for this many boxes without allocating.
    void reserveBoxes(std::size_t boxes);
    /// Starts a frame's textured pass. With rowsApart, quads of different rows never meet, and
    /// each row's quads in the order added are enough.
    void beginFrame(bool rowsApart);
    /// A box r, moved down by rowY by the draw's transform.
    void addBox(const PixelRect& r, float rowY);
    /// A textured quad r (moved down by rowY) in color, sampling texels (u1, v1) to (u2, v2).
    void addQuad(Texture texture, float rowY, const PixelRect& r, sf::Color color, float u1, float v1, float u2,
                 float v2);
    /// Draws the box pass, then the textured batches in order.
    void draw(sf::RenderTarget& target, const sf::Texture* atlas, const sf::Texture* page) const;
    /// Forgets every quad (keeping the vertices' memory).
    void clear();

private:
    /// Vertices [first, first + count) of the box pass drawn in one call, moved down by rowY.
    struct Batch
    {
        std::size_t first;
        std::size_t count;
        float rowY;
    };

    /// A batch of the textured pass.
    struct Ordered
    {
        float rowY;
        Texture texture;
    };

    /// The last batch of a texture and row.
    struct Latest
    {
        Texture texture;
        float rowY;
        int batch;
    };

    bool extendLastBox(const PixelRect& r, float rowY);
    int& latestBatch(Texture texture, float rowY);
    void openBatch(int& open, Texture texture, float rowY);

    int width, height;
    sf::Color boxColor;
    std::vector<sf::Vertex> boxVertices;
    std::vector<Batch> boxBatches;
    bool rowsApart = false;
    std::vector<Ordered> ordered;
    std::vector<std::vector<sf::Vertex>> pool; // the vertices of ordered[i] in pool[i]
    std::vector<Latest> latest;
    std::size_t latestHit = 0;
    int tileColumns;
    std::vector<int> lastBatchAt; // per ORDER_TILE square of pixels: the last batch that drew there
};

} // namespace ks
