// The way characters were drawn before the display manager batched them, kept as the
// reference: for each character a black 12 x 32 box 1.2 pixels left of and 6.4 below the
// cell's corner, then a bold sf::Text of size 24 at the corner, each drawn at once (two draw
// calls a character). The renderer's pixel test compares with it; kestrane-bench times it.
// Also the frames both of them draw: the full grid and a busy frame of characters at random
// cells.
#pragma once

#include <locale>
#include <memory>
#include <random>
#include <vector>

#include <SFML/Graphics.hpp>

#include "Color.h"
#include "SfmlCompat.h"
#include "Vector.h"

namespace ks::reference {

// One character to paint.
struct Cell
{
    Vector position; // spaces
    char ch;
    Color color;
};

class TwoDrawPainter
{
public:
    // Without a font only the boxes are drawn. Cells of cellWidth x cellHeight pixels, glyphs
    // of characterSize: the display manager's defaults unless it was set otherwise.
    explicit TwoDrawPainter(const sf::Font* font, float cellWidth = 12, float cellHeight = 32,
                            unsigned characterSize = 24)
        : cellWidth(cellWidth),
          cellHeight(cellHeight),
          characterSize(characterSize)
    {
        if (font == nullptr)
            return;
        text = std::make_unique<sf::Text>(compat::makeText(*font, "", 30));
        // The font's page for the size as the display manager fills it: printable ASCII first,
        // in order. A glyph put elsewhere on the page samples it at other texture coordinates,
        // and a stretched one may come out a level apart.
        for (char32_t c = U' '; c <= U'~'; c++)
            (void)font->getGlyph(c, characterSize, true);
    }

    void draw(sf::RenderTarget& target, const Cell& cell)
    {
        draw(target, cell.position, sf::String(cell.ch, std::locale()), colorOf(cell.color));
    }

    void draw(sf::RenderTarget& target, Vector position, const sf::String& character, sf::Color color)
    {
        const float x = position.getX() * cellWidth;
        const float y = position.getY() * cellHeight;
        background.setSize({cellWidth, cellHeight});
        background.setFillColor(sf::Color(0, 0, 0, 255));
        background.setPosition({x - cellWidth / 10, y + cellHeight / 5});
        target.draw(background, sf::RenderStates::Default);
        if (text == nullptr)
            return;
        text->setString(character);
        text->setStyle(sf::Text::Bold);
        text->setCharacterSize(characterSize);
        text->setFillColor(color);
        text->setPosition({x, y});
        target.draw(*text, sf::RenderStates::Default);
    }

    // Unknown colours are painted white.
    static sf::Color colorOf(Color color)
    {
        switch (color)
        {
        case BLACK: return sf::Color(0, 0, 0);
        case RED: return sf::Color(255, 0, 0);
        case GREEN: return sf::Color(0, 255, 0);
        case YELLOW: return sf::Color(255, 255, 0);
        case BLUE: return sf::Color(0, 0, 255);
        case MAGENTA: return sf::Color(255, 0, 255);
        case CYAN: return sf::Color(0, 255, 255);
        default: return sf::Color(255, 255, 255);
        }
    }

private:
    float cellWidth, cellHeight;
    unsigned characterSize;
    sf::RectangleShape background{sf::Vector2f(0, 0)};
    std::unique_ptr<sf::Text> text;
};

// The first n cells of the grid, row by row, with characters and colours that vary.
inline std::vector<Cell> gridCells(int n)
{
    std::vector<Cell> cells;
    for (int i = 0; i < n; i++)
        cells.push_back({Vector(static_cast<float>(i % 80), static_cast<float>(i / 80)),
                         static_cast<char>('!' + i % 94), static_cast<Color>(1 + i % 7)});
    return cells;
}

// n printable characters (spaces included) in any colour at random whole cells: a frame that
// paints many cells several times over, as a game with hundreds of objects does.
inline std::vector<Cell> busyCells(int n, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> column(0, 79), row(0, 23), printable(' ', '~'), color(BLACK, WHITE);
    std::vector<Cell> cells;
    for (int i = 0; i < n; i++)
        cells.push_back({Vector(static_cast<float>(column(random)), static_cast<float>(row(random))),
                         static_cast<char>(printable(random)), static_cast<Color>(color(random))});
    return cells;
}

} // namespace ks::reference
