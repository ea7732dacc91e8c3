#include "DisplayManager.h"

#include "LogManager.h"
#include "SfmlCompat.h"

#include <algorithm>
#include <locale>

namespace ks {

namespace {

// Colours outside BLACK..WHITE have no picture of their own and are painted white.
bool toSfmlColor(Color color, sf::Color& out)
{
    switch (color) {
    case BLACK: out = sf::Color(0, 0, 0, 255); return true;
    case RED: out = sf::Color(255, 0, 0, 255); return true;
    case GREEN: out = sf::Color(0, 255, 0, 255); return true;
    case YELLOW: out = sf::Color(255, 255, 0, 255); return true;
    case BLUE: out = sf::Color(0, 0, 255, 255); return true;
    case MAGENTA: out = sf::Color(255, 0, 255, 255); return true;
    case CYAN: out = sf::Color(0, 255, 255, 255); return true;
    case WHITE: out = sf::Color(255, 255, 255, 255); return true;
    default: out = sf::Color(255, 255, 255, 255); return false;
    }
}

} // namespace

DisplayManager::DisplayManager()
{
    setType("DisplayManager");
}

DisplayManager& DisplayManager::getInstance()
{
    static DisplayManager instance;
    return instance;
}

int DisplayManager::startUp()
{
    // Started from here on, whatever fails below: the input manager only asks for the flag.
    Manager::startUp();

    if (window != nullptr)
        return 0;

    window = compat::makeWindow(static_cast<unsigned>(horizontalPixels), static_cast<unsigned>(verticalPixels), 32,
                                sf::String(WINDOW_TITLE_DEFAULT, std::locale()),
                                static_cast<std::uint32_t>(WINDOW_STYLE_DEFAULT))
                 .release();
    window->setMouseCursorVisible(false);
    window->setVerticalSyncEnabled(true);
    // One press event per key press, however long the key is held.
    window->setKeyRepeatEnabled(false);

    sf::Font loaded;
    if (!compat::openFont(loaded, FONT_FILE_DEFAULT)) {
        LogManager::getInstance().writeLog("failed to open font file");
        return -1;
    }
    font = loaded;
    fontLoaded = true;

    if (!window->isOpen()) {
        LogManager::getInstance().writeLog("Failed to open displaymanager display");
        return -1;
    }
    return 0;
}

void DisplayManager::shutDown()
{
    if (window != nullptr) {
        window->close();
        delete window;
        window = nullptr;
    }
    Manager::shutDown();
}

int DisplayManager::drawCh(Vector position, char ch, Color color) const
{
    if (window == nullptr) {
        LogManager::getInstance().writeLog("Can not drawChar because displaymanager window is not open");
        return -1;
    }

    const Vector pixel = spacesToPixels(position);
    const float cellWidth = charWidth();
    const float cellHeight = charHeight();

    // One box and one text serve every character: no drawable is made per call. The text
    // refers to `font`, which lives as long as this singleton and never moves.
    static sf::RectangleShape background(sf::Vector2f(0, 0));
    static sf::Text text = compat::makeText(font, "", 30);

    // The opaque box hides whatever an earlier character left in (or near) this cell.
    background.setSize({cellWidth, cellHeight});
    background.setFillColor(sf::Color(0, 0, 0, 255));
    background.setPosition({pixel.getX() - cellWidth / 10, pixel.getY() + cellHeight / 5});
    window->draw(background, sf::RenderStates::Default);

    text.setString(sf::String(ch, std::locale()));
    text.setStyle(sf::Text::Bold);
    text.setCharacterSize(static_cast<unsigned>(2 * std::min(cellWidth, cellHeight)));

    sf::Color fill;
    if (!toSfmlColor(color, fill))
        LogManager::getInstance().writeLog("Unknown color, defaulting to white");
    text.setFillColor(fill);

    text.setPosition({pixel.getX(), pixel.getY()});
    // Without a font only the box is painted; the missing file was reported at start-up.
    if (fontLoaded)
        window->draw(text, sf::RenderStates::Default);
    return 0;
}

int DisplayManager::drawString(Vector position, std::string str, Justification just, Color color) const
{
    const int length = static_cast<int>(str.size());
    Vector start = position;
    switch (just) {
    case CENTER_JUSTIFIED: start.setX(position.getX() - static_cast<float>(length / 2)); break;
    case RIGHT_JUSTIFIED: start.setX(position.getX() - static_cast<float>(length)); break;
    default: break;
    }
    for (int i = 0; i < length; i++)
        drawCh(Vector(start.getX() + static_cast<float>(i), start.getY()), str[static_cast<size_t>(i)], color);
    return 0;
}

int DisplayManager::swapBuffers()
{
    if (window == nullptr) {
        LogManager::getInstance().writeLog("Can not swap buffer because displaymanager window is not open");
        return -1;
    }
    // No event is taken off the queue here: the input manager empties it once per frame,
    // and anything arriving later waits for the next frame instead of being lost.
    window->display();
    window->clear(WINDOW_BACKGROUND_COLOR_DEFAULT);
    return 0;
}

int DisplayManager::getHorizontal() const
{
    return horizontalChars;
}

int DisplayManager::getVertical() const
{
    return verticalChars;
}

int DisplayManager::getHorizontalPixels() const
{
    return horizontalPixels;
}

int DisplayManager::getVerticalPixels() const
{
    return verticalPixels;
}

sf::RenderWindow* DisplayManager::getWindow() const
{
    return window;
}

// Whole pixels per cell: 1024 / 80 gives 12, leaving a 64-pixel strip right of column 79.
float DisplayManager::charWidth() const
{
    return static_cast<float>(horizontalPixels / horizontalChars);
}

float DisplayManager::charHeight() const
{
    return static_cast<float>(verticalPixels / verticalChars);
}

Vector DisplayManager::spacesToPixels(Vector spaces) const
{
    return Vector(spaces.getX() * charWidth(), spaces.getY() * charHeight());
}

Vector DisplayManager::pixelsToSpaces(Vector pixels) const
{
    return Vector(pixels.getX() / charWidth(), pixels.getY() / charHeight());
}

} // namespace ks
