// SfmlCompat: the one place that knows the differences between SFML 3 and SFML 2.5/2.6.
// Engine code is written in SFML 3 style against these helpers; nothing else in the
// engine or the game tests the SFML version.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <SFML/Audio.hpp>
#include <SFML/Config.hpp>
#include <SFML/Graphics.hpp>
#include <SFML/Window.hpp>

#if SFML_VERSION_MAJOR < 3
#include <variant>
#include <vector>
#endif

namespace ks::compat {

inline constexpr int SFML_MAJOR = SFML_VERSION_MAJOR;
inline constexpr int SFML_MINOR = SFML_VERSION_MINOR;

// ---- window, font, text ----

// A window of width x height pixels; fullscreen makes it cover the screen instead (width and
// height then being the screen's, see desktopSize).
inline std::unique_ptr<sf::RenderWindow> makeWindow(unsigned width, unsigned height, unsigned bitsPerPixel,
                                                    const sf::String& title, std::uint32_t style,
                                                    bool fullscreen = false)
{
#if SFML_VERSION_MAJOR >= 3
    return std::make_unique<sf::RenderWindow>(sf::VideoMode({width, height}, bitsPerPixel), title, style,
                                              fullscreen ? sf::State::Fullscreen : sf::State::Windowed,
                                              sf::ContextSettings());
#else
    return std::make_unique<sf::RenderWindow>(sf::VideoMode(width, height, bitsPerPixel), title,
                                              fullscreen ? static_cast<std::uint32_t>(sf::Style::Fullscreen) : style,
                                              sf::ContextSettings());
#endif
}

// The same, made again in an existing window object, so that pointers to it stay good.
inline void remakeWindow(sf::RenderWindow& window, unsigned width, unsigned height, unsigned bitsPerPixel,
                         const sf::String& title, std::uint32_t style, bool fullscreen)
{
#if SFML_VERSION_MAJOR >= 3
    window.create(sf::VideoMode({width, height}, bitsPerPixel), title, style,
                  fullscreen ? sf::State::Fullscreen : sf::State::Windowed, sf::ContextSettings());
#else
    window.create(sf::VideoMode(width, height, bitsPerPixel), title,
                  fullscreen ? static_cast<std::uint32_t>(sf::Style::Fullscreen) : style, sf::ContextSettings());
#endif
}

// The screen's size in pixels.
inline sf::Vector2u desktopSize()
{
#if SFML_VERSION_MAJOR >= 3
    return sf::VideoMode::getDesktopMode().size;
#else
    const sf::VideoMode mode = sf::VideoMode::getDesktopMode();
    return {mode.width, mode.height};
#endif
}

// Sets the target's view so that the area of width x height pixels from (0, 0) shows, pixel
// for pixel, with its top-left corner at target pixel (left, top).
inline void showArea(sf::RenderTarget& window, int width, int height, int left, int top)
{
    const sf::Vector2u size = window.getSize();
    const float w = static_cast<float>(size.x), h = static_cast<float>(size.y);
    const float fw = static_cast<float>(width), fh = static_cast<float>(height);
#if SFML_VERSION_MAJOR >= 3
    sf::View view(sf::FloatRect({0.f, 0.f}, {fw, fh}));
    view.setViewport(sf::FloatRect({static_cast<float>(left) / w, static_cast<float>(top) / h}, {fw / w, fh / h}));
#else
    sf::View view(sf::FloatRect(0.f, 0.f, fw, fh));
    view.setViewport(sf::FloatRect(static_cast<float>(left) / w, static_cast<float>(top) / h, fw / w, fh / h));
#endif
    window.setView(view);
}

inline bool openFont(sf::Font& font, const std::string& filename)
{
#if SFML_VERSION_MAJOR >= 3
    return font.openFromFile(filename);
#else
    return font.loadFromFile(filename);
#endif
}

inline sf::Text makeText(const sf::Font& font, const sf::String& string = "", unsigned characterSize = 30)
{
#if SFML_VERSION_MAJOR >= 3
    return sf::Text(font, string, characterSize);
#else
    return sf::Text(string, font, characterSize);
#endif
}

// A glyph's ink bounds (relative to the baseline) and its rectangle in the font's texture,
// as plain numbers: the rectangle field names differ between versions.
struct GlyphRects
{
    float left, top, width, height;             // ink bounds, pixels
    float texLeft, texTop, texWidth, texHeight; // texture rectangle, texels
};

inline GlyphRects glyphRects(const sf::Glyph& glyph)
{
#if SFML_VERSION_MAJOR >= 3
    return {glyph.bounds.position.x,
            glyph.bounds.position.y,
            glyph.bounds.size.x,
            glyph.bounds.size.y,
            static_cast<float>(glyph.textureRect.position.x),
            static_cast<float>(glyph.textureRect.position.y),
            static_cast<float>(glyph.textureRect.size.x),
            static_cast<float>(glyph.textureRect.size.y)};
#else
    return {glyph.bounds.left,
            glyph.bounds.top,
            glyph.bounds.width,
            glyph.bounds.height,
            static_cast<float>(glyph.textureRect.left),
            static_cast<float>(glyph.textureRect.top),
            static_cast<float>(glyph.textureRect.width),
            static_cast<float>(glyph.textureRect.height)};
#endif
}

// Whether a one-character sf::Text lays out a quad for this code point. Neither version does
// for a space, tab, line feed or carriage return; SFML 3 also leaves out every other control
// character, where SFML 2 draws the font's glyph for it.
inline bool textDrawsGlyph(char32_t codePoint)
{
    if (codePoint == U' ' || codePoint == U'\t' || codePoint == U'\n' || codePoint == U'\r')
        return false;
#if SFML_VERSION_MAJOR >= 3
    if (codePoint < U' ' || codePoint == U'\x7f')
        return false;
#endif
    return true;
}

// How batched text must be drawn to give the same pixels as one sf::Text per character.
// SFML 2 draws each text through GL's per-draw transform, and the row's y rounds differently
// there than when it is added on the CPU: a batch may only hold one pixel row and carries
// that row in its transform. SFML 3 gives the same pixels with every position on the CPU,
// so one batch can hold the whole frame.
inline constexpr bool BATCH_ROW_IN_TRANSFORM = SFML_VERSION_MAJOR < 3;

// Batches draw rectangles as quads, which Mesa's software renderer sets up several times
// faster than the same rectangles as pairs of triangles. QUAD_VERTICES vertices a rectangle:
// top-left, top-right, bottom-right, bottom-left (the diagonal sf::Text's triangles share).
inline constexpr std::size_t QUAD_VERTICES = 4;

// Draws count / 4 quads. SFML 2 still has them as a primitive type. SFML 3 dropped it, but its
// targets still draw through the fixed-function pipeline, where GL_QUADS remains: a draw of
// nothing sets the states (six degenerate vertices, too many for SFML's small-draw cache,
// which would move the transform into the vertices), then the quads go through the arrays SFML
// itself would set up. SFML sets those again on its next draw.
inline void drawQuads(sf::RenderTarget& target, const sf::Vertex* vertices, std::size_t count,
                      const sf::RenderStates& states)
{
#if SFML_VERSION_MAJOR >= 3
    using ArrayPointer = void (*)(int size, unsigned type, int stride, const void* pointer);
    using DrawArrays = void (*)(unsigned mode, int first, int count);
    const unsigned GL_FLOAT_TYPE = 0x1406, GL_UNSIGNED_BYTE_TYPE = 0x1401, GL_QUADS_MODE = 0x0007;
    static const sf::Vertex nothing[6] = {};
    target.draw(nothing, 6, sf::PrimitiveType::Triangles, states);
    static const auto vertexPointer = reinterpret_cast<ArrayPointer>(sf::Context::getFunction("glVertexPointer"));
    static const auto colorPointer = reinterpret_cast<ArrayPointer>(sf::Context::getFunction("glColorPointer"));
    static const auto texCoordPointer = reinterpret_cast<ArrayPointer>(sf::Context::getFunction("glTexCoordPointer"));
    static const auto drawArrays = reinterpret_cast<DrawArrays>(sf::Context::getFunction("glDrawArrays"));
    if (vertexPointer == nullptr || colorPointer == nullptr || texCoordPointer == nullptr || drawArrays == nullptr)
    {
        // No such entry points: each quad as its two triangles.
        std::vector<sf::Vertex> triangles;
        for (std::size_t i = 0; i + 3 < count; i += 4)
            for (std::size_t corner : {0, 1, 3, 3, 1, 2})
                triangles.push_back(vertices[i + corner]);
        target.draw(triangles.data(), triangles.size(), sf::PrimitiveType::Triangles, states);
        return;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(vertices);
    const int stride = static_cast<int>(sizeof(sf::Vertex));
    vertexPointer(2, GL_FLOAT_TYPE, stride, bytes + offsetof(sf::Vertex, position));
    colorPointer(4, GL_UNSIGNED_BYTE_TYPE, stride, bytes + offsetof(sf::Vertex, color));
    texCoordPointer(2, GL_FLOAT_TYPE, stride, bytes + offsetof(sf::Vertex, texCoords));
    drawArrays(GL_QUADS_MODE, 0, static_cast<int>(count));
#else
    target.draw(vertices, count, sf::Quads, states);
#endif
}

// Appends a rectangle for drawQuads.
inline void appendQuad(std::vector<sf::Vertex>& out, const sf::Vertex& topLeft, const sf::Vertex& topRight,
                       const sf::Vertex& bottomLeft, const sf::Vertex& bottomRight)
{
    out.push_back(topLeft);
    out.push_back(topRight);
    out.push_back(bottomRight);
    out.push_back(bottomLeft);
}

// Where appendQuad puts a rectangle's right edge.
inline constexpr std::size_t RIGHT_EDGE[] = {1, 2};

// The window's id in the windowing system (an X11 Window on Linux), e.g. for tools that
// drive the window from outside.
inline sf::WindowHandle nativeHandle(const sf::Window& window)
{
#if SFML_VERSION_MAJOR >= 3
    return window.getNativeHandle();
#else
    return window.getSystemHandle();
#endif
}

// ---- events ----

#if SFML_VERSION_MAJOR >= 3
using Event = sf::Event;

inline std::optional<Event> pollEvent(sf::Window& window)
{
    return window.pollEvent();
}
#else
// SFML 3's event interface rebuilt over SFML 2's union: only the kinds the engine meets
// are forwarded; joystick, touch, sensor and the old wheel event are skipped.
class Event
{
public:
    struct Closed
    {};
    struct Resized
    {
        sf::Vector2u size;
    };
    struct FocusLost
    {};
    struct FocusGained
    {};
    struct TextEntered
    {
        char32_t unicode;
    };
    struct KeyPressed
    {
        sf::Keyboard::Key code;
        bool alt, control, shift, system;
    };
    struct KeyReleased
    {
        sf::Keyboard::Key code;
        bool alt, control, shift, system;
    };
    struct MouseWheelScrolled
    {
        sf::Mouse::Wheel wheel;
        float delta;
        sf::Vector2i position;
    };
    struct MouseButtonPressed
    {
        sf::Mouse::Button button;
        sf::Vector2i position;
    };
    struct MouseButtonReleased
    {
        sf::Mouse::Button button;
        sf::Vector2i position;
    };
    struct MouseMoved
    {
        sf::Vector2i position;
    };
    struct MouseEntered
    {};
    struct MouseLeft
    {};

    template <typename T>
    explicit Event(const T& data) : data(data)
    {}

    template <typename T>
    bool is() const
    {
        return std::holds_alternative<T>(data);
    }

    template <typename T>
    const T* getIf() const
    {
        return std::get_if<T>(&data);
    }

    template <typename T>
    T* getIf()
    {
        return std::get_if<T>(&data);
    }

private:
    std::variant<Closed, Resized, FocusLost, FocusGained, TextEntered, KeyPressed, KeyReleased, MouseWheelScrolled,
                 MouseButtonPressed, MouseButtonReleased, MouseMoved, MouseEntered, MouseLeft>
        data;
};

inline std::optional<Event> pollEvent(sf::Window& window)
{
    sf::Event ev;
    while (window.pollEvent(ev))
    {
        switch (ev.type)
        {
        case sf::Event::Closed: return Event(Event::Closed{});
        case sf::Event::Resized: return Event(Event::Resized{{ev.size.width, ev.size.height}});
        case sf::Event::LostFocus: return Event(Event::FocusLost{});
        case sf::Event::GainedFocus: return Event(Event::FocusGained{});
        case sf::Event::TextEntered: return Event(Event::TextEntered{static_cast<char32_t>(ev.text.unicode)});
        case sf::Event::KeyPressed:
            return Event(Event::KeyPressed{ev.key.code, ev.key.alt, ev.key.control, ev.key.shift, ev.key.system});
        case sf::Event::KeyReleased:
            return Event(Event::KeyReleased{ev.key.code, ev.key.alt, ev.key.control, ev.key.shift, ev.key.system});
        case sf::Event::MouseWheelScrolled:
            return Event(Event::MouseWheelScrolled{
                ev.mouseWheelScroll.wheel, ev.mouseWheelScroll.delta, {ev.mouseWheelScroll.x, ev.mouseWheelScroll.y}});
        case sf::Event::MouseButtonPressed:
            return Event(Event::MouseButtonPressed{ev.mouseButton.button, {ev.mouseButton.x, ev.mouseButton.y}});
        case sf::Event::MouseButtonReleased:
            return Event(Event::MouseButtonReleased{ev.mouseButton.button, {ev.mouseButton.x, ev.mouseButton.y}});
        case sf::Event::MouseMoved: return Event(Event::MouseMoved{{ev.mouseMove.x, ev.mouseMove.y}});
        case sf::Event::MouseEntered: return Event(Event::MouseEntered{});
        case sf::Event::MouseLeft: return Event(Event::MouseLeft{});
        default: break; // not forwarded; keep polling
        }
    }
    return std::nullopt;
}
#endif

// ---- keys and buttons whose names differ ----

namespace key {
#if SFML_VERSION_MAJOR == 2 && SFML_VERSION_MINOR < 6
inline constexpr sf::Keyboard::Key Apostrophe = sf::Keyboard::Quote;
inline constexpr sf::Keyboard::Key Grave = sf::Keyboard::Tilde;
#else
inline constexpr sf::Keyboard::Key Apostrophe = sf::Keyboard::Key::Apostrophe;
inline constexpr sf::Keyboard::Key Grave = sf::Keyboard::Key::Grave;
#endif
inline constexpr unsigned Count = static_cast<unsigned>(sf::Keyboard::KeyCount);
} // namespace key

namespace mouse {
#if SFML_VERSION_MAJOR >= 3
inline constexpr sf::Mouse::Button Extra1 = sf::Mouse::Button::Extra1;
inline constexpr sf::Mouse::Button Extra2 = sf::Mouse::Button::Extra2;
#else
inline constexpr sf::Mouse::Button Extra1 = sf::Mouse::XButton1;
inline constexpr sf::Mouse::Button Extra2 = sf::Mouse::XButton2;
#endif
inline constexpr unsigned Count = static_cast<unsigned>(sf::Mouse::ButtonCount);
} // namespace mouse

// ---- audio ----

template <typename Source>
void setLooping(Source& source, bool loop)
{
#if SFML_VERSION_MAJOR >= 3
    source.setLooping(loop);
#else
    source.setLoop(loop);
#endif
}

template <typename Source>
bool isLooping(const Source& source)
{
#if SFML_VERSION_MAJOR >= 3
    return source.isLooping();
#else
    return source.getLoop();
#endif
}

// The buffer a sound plays, or null when it has none.
inline const sf::SoundBuffer* getBuffer(const sf::Sound& sound)
{
#if SFML_VERSION_MAJOR >= 3
    return &sound.getBuffer();
#else
    return sound.getBuffer();
#endif
}

inline bool openMusic(sf::Music& music, const std::string& filename)
{
    return music.openFromFile(filename);
}

inline bool loadSoundBuffer(sf::SoundBuffer& buffer, const std::string& filename)
{
    return buffer.loadFromFile(filename);
}

// Sends playback to a silent device, for tests on machines without a sound card. SFML 2
// is silenced by the environment (ALSOFT_DRIVERS=null) instead.
inline bool useNullAudioDevice()
{
#if SFML_VERSION_MAJOR > 3 || (SFML_VERSION_MAJOR == 3 && SFML_VERSION_MINOR >= 1)
    return sf::PlaybackDevice::setDeviceToNull();
#else
    return true;
#endif
}

// ---- reading pixels back ----

// An empty texture of width x height texels; false when the renderer cannot make one.
inline bool makeTexture(sf::Texture& texture, unsigned width, unsigned height)
{
#if SFML_VERSION_MAJOR >= 3
    return texture.resize({width, height});
#else
    return texture.create(width, height);
#endif
}

// The window's current back buffer (what has been drawn since the last clear), read through
// texture, which is made the window's size first when it is not.
inline sf::Image captureWindow(const sf::RenderWindow& window, sf::Texture& texture)
{
    if (texture.getSize() != window.getSize())
        (void)makeTexture(texture, window.getSize().x, window.getSize().y);
    texture.update(window);
    return texture.copyToImage();
}

inline sf::Image captureWindow(const sf::RenderWindow& window)
{
    sf::Texture texture;
    return captureWindow(window, texture);
}

// The pixels of the target its view draws into: left, top, width, height.
inline std::array<int, 4> viewportPixels(const sf::RenderTarget& target)
{
    const sf::IntRect r = target.getViewport(target.getView());
#if SFML_VERSION_MAJOR >= 3
    return {r.position.x, r.position.y, r.size.x, r.size.y};
#else
    return {r.left, r.top, r.width, r.height};
#endif
}

// Copies width x height RGBA texels into the texture with their top-left at (x, y).
inline void updateTexture(sf::Texture& texture, const std::uint8_t* rgba, unsigned width, unsigned height, unsigned x,
                          unsigned y)
{
#if SFML_VERSION_MAJOR >= 3
    texture.update(rgba, {width, height}, {x, y});
#else
    texture.update(rgba, width, height, x, y);
#endif
}

inline sf::Color getPixel(const sf::Image& image, unsigned x, unsigned y)
{
#if SFML_VERSION_MAJOR >= 3
    return image.getPixel({x, y});
#else
    return image.getPixel(x, y);
#endif
}

// An image made from width * height RGBA pixels, row by row.
inline sf::Image makeImage(unsigned width, unsigned height, const std::uint8_t* rgba)
{
#if SFML_VERSION_MAJOR >= 3
    return sf::Image({width, height}, rgba);
#else
    sf::Image image;
    image.create(width, height, rgba);
    return image;
#endif
}

} // namespace ks::compat
