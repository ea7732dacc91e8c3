#include "DisplayManager.h"

#include "CharacterBatch.h"
#include "LogManager.h"
#include "SfmlCompat.h"

#include <algorithm>
#include <locale>

namespace ks {

namespace {

// Colours outside BLACK..WHITE have no picture of their own and are painted white. A table
// rather than a switch: a frame's colours come in any order, and a jump through a switch
// mispredicts on nearly every character.
bool toSfmlColor(Color color, sf::Color& out)
{
    static const sf::Color pictures[] = {
        sf::Color(0, 0, 0, 255),     sf::Color(255, 0, 0, 255),   sf::Color(0, 255, 0, 255),
        sf::Color(255, 255, 0, 255), sf::Color(0, 0, 255, 255),   sf::Color(255, 0, 255, 255),
        sf::Color(0, 255, 255, 255), sf::Color(255, 255, 255, 255),
    };
    const bool known = color >= BLACK && color <= WHITE;
    out = pictures[known ? color : WHITE];
    return known;
}

} // namespace

DisplayManager::DisplayManager()
    : batch(std::make_unique<CharacterBatch>(horizontalPixels, verticalPixels, charWidth(), charHeight()))
{
    setType("DisplayManager");
}

DisplayManager::~DisplayManager() = default;

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
    if (!compat::openFont(loaded, FONT_FILE_DEFAULT))
    {
        LogManager::getInstance().writeLog("failed to open font file");
        return -1;
    }
    font = loaded;
    batch->setFont(&font, glyphSize(), window);

    if (!window->isOpen())
    {
        LogManager::getInstance().writeLog("Failed to open displaymanager display");
        return -1;
    }
    return 0;
}

void DisplayManager::shutDown()
{
    batch->setFont(nullptr, 0, nullptr);
    if (window != nullptr)
    {
        window->close();
        delete window;
        window = nullptr;
    }
    Manager::shutDown();
}

int DisplayManager::drawCh(Vector position, char ch, Color color) const
{
    if (window == nullptr)
    {
        LogManager::getInstance().writeLog("Can not drawChar because displaymanager window is not open");
        return -1;
    }

    sf::Color fill;
    if (!toSfmlColor(color, fill))
        LogManager::getInstance().writeLog("Unknown color, defaulting to white");
    const Vector pixel = spacesToPixels(position);
    batch->add(pixel.getX(), pixel.getY(), ch, fill);
    characterCount++;
    return 0;
}

int DisplayManager::drawString(Vector position, std::string str, Justification just, Color color) const
{
    const int length = static_cast<int>(str.size());
    Vector start = position;
    switch (just)
    {
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
    if (window == nullptr)
    {
        LogManager::getInstance().writeLog("Can not swap buffer because displaymanager window is not open");
        return -1;
    }
    batch->paint(*window);
    if (frameListener)
        frameListener(*window);
    characterCount = 0;
    // No event is taken off the queue here: the input manager empties it once per frame,
    // and anything arriving later waits for the next frame instead of being lost.
    window->display();
    window->clear(WINDOW_BACKGROUND_COLOR_DEFAULT);
    batch->targetCleared();
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

// Whoever gets the window may draw into it: what is recorded goes in first, and from then on
// the engine cannot know what the window holds.
sf::RenderWindow* DisplayManager::getWindow() const
{
    if (window != nullptr)
        batch->paint(*window);
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

int DisplayManager::getCharacterCount() const
{
    return characterCount;
}

void DisplayManager::setFrameListener(std::function<void(const sf::RenderWindow&)> listener)
{
    frameListener = std::move(listener);
}

unsigned DisplayManager::glyphSize() const
{
    return static_cast<unsigned>(2 * std::min(charWidth(), charHeight()));
}

} // namespace ks
