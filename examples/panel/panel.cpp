// A panel of box-drawing lines, block elements and arrows in RGB colours, on a grid of 60 x 15
// cells of 16 x 32 pixels in a window that may be resized (the grid keeps the largest size that
// fits, centred). The arrow keys move the marker; F11 or Alt+Enter toggles fullscreen; Escape
// quits.
#include <kestrane/DisplayManager.h>
#include <kestrane/EventKeyboard.h>
#include <kestrane/GameManager.h>
#include <kestrane/Object.h>

#include <string>

class Panel : public ks::Object
{
public:
    int eventHandler(const ks::Event* event) override
    {
        if (event->getType() != ks::KEYBOARD_EVENT)
            return 0;
        const auto* key = static_cast<const ks::EventKeyboard*>(event);
        if (key->getKeyboardAction() != ks::KEY_PRESSED)
            return 0;
        switch (key->getKey())
        {
        case ks::Keyboard::LEFTARROW: level = level > 0 ? level - 1 : 0; break;
        case ks::Keyboard::RIGHTARROW: level = level < 40 ? level + 1 : 40; break;
        case ks::Keyboard::ESCAPE: ks::GameManager::getInstance().setGameOver(); break;
        default: return 0;
        }
        return 1;
    }

    int draw() override
    {
        const ks::DisplayManager& display = ks::DisplayManager::getInstance();
        const ks::Rgb frame{120, 200, 255};
        // A double-lined frame with a title, drawn from UTF-8.
        std::string across;
        for (int i = 0; i < 56; i++)
            across += "═";
        display.drawUtf8(ks::Vector(2, 2), "╔" + across + "╗", LEFT_JUSTIFIED, frame);
        display.drawUtf8(ks::Vector(2, 12), "╚" + across + "╝", LEFT_JUSTIFIED, frame);
        for (int row = 3; row < 12; row++)
        {
            display.drawGlyph(ks::Vector(2, static_cast<float>(row)), U'║', frame);
            display.drawGlyph(ks::Vector(59, static_cast<float>(row)), U'║', frame);
        }
        display.drawUtf8(ks::Vector(30, 2), "╡ Kestrane ╞", CENTER_JUSTIFIED, ks::Rgb{255, 220, 120});
        // A bar of full blocks from green to red, and the shades beyond it.
        for (int i = 0; i < 40; i++)
        {
            const auto red = static_cast<std::uint8_t>(i * 6), green = static_cast<std::uint8_t>(240 - i * 6);
            display.drawGlyph(ks::Vector(static_cast<float>(10 + i), 6), i < level ? U'█' : U'░',
                              ks::Rgb{red, green, 40});
        }
        display.drawUtf8(ks::Vector(30, 8), "← level " + std::to_string(level) + " →", CENTER_JUSTIFIED,
                         ks::Rgb{230, 230, 230});
        return 0;
    }

private:
    int level = 20;
};

int main()
{
    ks::DisplayManager& display = ks::DisplayManager::getInstance();
    // Settings are read when the window opens.
    display.setGrid(60, 15);
    display.setCellSize(16, 32);
    display.setTitle("Kestrane panel");
    display.setResizable(true);
    display.setFullscreenKeys(true);

    ks::GameManager& game = ks::GameManager::getInstance();
    game.startUp(); // opens the window, reads ks-font.ttf from the working directory
    new Panel;      // the world owns it from here on
    game.run();
    game.shutDown();
    return 0;
}
