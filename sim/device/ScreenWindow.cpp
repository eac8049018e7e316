#include "sim/device/ScreenWindow.h"

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/PictureMemory.h"
#include "platform/uikit/UIScreen.h"
#include "sim/device/ScreenDownscale.h"
#include "sim/device/WindowFingers.h"
#include "sim/device/WindowLatency.h"
#include "sim/device/WindowOverlay.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
// SDL reaches for the session's message bus when video starts, and the message library keeps a
// buffer of its own for the life of the process, freed by no call of ours or of SDL's (even when
// the start fails). The leak checker of a sanitized build is told so, quietly (the window
// programs' one line on standard error stays one line), and reports all the rest.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace {

constexpr int kFallbackRefreshRate = 60;  // when the display does not say
constexpr ClockTime kFrameRateWindow = std::chrono::milliseconds(500);
constexpr int kFingerRing = 36;  // window pixels across the second finger's circle

const std::vector<std::string> kWindowKeys = {
    "Mouse: one finger",
    "Right-drag or Alt+drag: two fingers,",
    "  mirrored about the centre (pinch, rotate)",
    "Shift with them: move the pair together",
    "?  help    F  frames/s    Q  quit",
};

// Cairo's pixels carry premultiplied alpha; SDL's usual blending expects it unmultiplied.
SDL_BlendMode premultipliedBlend() {
    return SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA,
                                      SDL_BLENDOPERATION_ADD, SDL_BLENDFACTOR_ONE,
                                      SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD);
}

// A texture holding `image`, blended as premultiplied when `blend`; null without an image.
SDL_Texture* textureOf(SDL_Renderer* renderer, const CGImageRef& image, bool blend) {
    if (!image) return nullptr;
    cairo_surface_t* surface = image->surface();
    cairo_surface_flush(surface);
    SDL_Texture* texture = SDL_CreateTexture(
        renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
        cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
    if (!texture) return nullptr;
    SDL_UpdateTexture(texture, nullptr, cairo_image_surface_get_data(surface),
                      cairo_image_surface_get_stride(surface));
    if (blend) SDL_SetTextureBlendMode(texture, premultipliedBlend());
    return texture;
}

// A faint ring, the second finger's mark.
CGImageRef fingerRing() {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kFingerRing, kFingerRing);
    cairo_t* cr = cairo_create(surface);
    const double r = kFingerRing / 2.0;
    cairo_arc(cr, r, r, r - 3, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, 0.5);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_destroy(cr);
    return std::make_shared<const CGImage>(CairoSurfacePtr(surface));
}

class ScreenWindow {
public:
    ScreenWindow(ScreenWindowDevice& device, const ScreenWindowOptions& options)
        : device_(device),
          options_(options),
          fingers_(screenPoints()),
          latency_(options.latencyLog) {}
    ~ScreenWindow();

    // Opens the window; false with a message on standard error when it cannot.
    bool open();
    // Says on standard error that no window can be opened, and why; answers false.
    bool noWindow(const std::string& why) const;
    // Shows the device until the window closes or Q is pressed.
    void run();

private:
    static CGSize screenPoints() { return UIScreen::mainScreen()->bounds().size; }
    CGPoint pointAt(int x, int y) const;
    void reservePictures() const;
    bool nextEvent(SDL_Event& event, ClockTime due) const;
    // Handles one event; false once the window should close.
    bool handle(const SDL_Event& event);
    bool handleKey(const SDL_KeyboardEvent& key);
    void handleMouse(const SDL_Event& event);
    void handleFinger(const SDL_TouchFingerEvent& finger);
    // Sends the fingers' event to the device; `stamp` is the input's event timestamp.
    void send(const std::optional<FingerEvent>& event, uint32_t stamp);
    void present();
    void uploadScreen(const CGImageRef& image);
    void drawSecondFinger();
    void refreshOverlay();
    void countFrame();

    ScreenWindowDevice& device_;
    const ScreenWindowOptions& options_;
    WindowFingers fingers_;
    WindowLatency latency_;
    WindowLayout layout_{};
    ClockTime framePeriod_{};
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* screen_ = nullptr;
    int textureWidth_ = 0, textureHeight_ = 0;
    std::vector<uint32_t> shrunk_;  // the screen shrunk for the window, when it is
    SDL_Texture* overlay_ = nullptr;
    SDL_Texture* ring_ = nullptr;
    bool showHelp_ = false, showFrameRate_ = false, overlayStale_ = true;
    std::string frameRate_, touchWait_;
    int framesCounted_ = 0;
    ClockTime countingSince_{};
    CGPoint mouse_{};
    int fingerButton_ = 0;  // the mouse button holding the fingers down; 0 for none
};

ScreenWindow::~ScreenWindow() {
    for (SDL_Texture* texture : {screen_, overlay_, ring_}) {
        if (texture) SDL_DestroyTexture(texture);
    }
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_Quit();
}

// Whether the environment names a display; without one SDL would probe every driver it knows,
// each complaining in its own words.
bool displayNamed() {
    return SDL_getenv("SDL_VIDEODRIVER") || SDL_getenv("DISPLAY") || SDL_getenv("WAYLAND_DISPLAY");
}

// Whether SDL found a display: when none answers it settles on drawing off screen, where nobody
// could ever see the window or close it. A driver asked for by name is taken at its word.
bool onADisplay() {
    if (SDL_getenv("SDL_VIDEODRIVER")) return true;
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    return driver != "offscreen" && driver != "dummy";
}

// Starts SDL's video on the display the environment names; why not, when it cannot. Only the
// kind of display named is tried: a named X display that cannot be opened must not send SDL on
// to other drivers, each complaining in its own words.
std::optional<std::string> startVideo() {
    // SIGTERM must end the process as the platform's restart expects, not close the window
    // politely as SDL would make of it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!displayNamed()) return std::string("no display");
    const char* x11 = SDL_getenv("DISPLAY");
    const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
    if (!SDL_getenv("SDL_VIDEODRIVER") && (x11 != nullptr) != (wayland != nullptr)) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, x11 ? "x11" : "wayland");
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        const std::string named = x11 ? std::string("the display ") + x11 : "the display";
        return named + " cannot be opened: " + SDL_GetError();
    }
    if (!onADisplay()) {
        SDL_Quit();
        return std::string("no display");
    }
    return std::nullopt;
}

bool ScreenWindow::noWindow(const std::string& why) const {
    std::fprintf(stderr, "%s: no window can be opened (%s); run a script with --script FILE\n",
                 options_.program.c_str(), why.c_str());
    return false;
}

bool ScreenWindow::open() {
    if (const auto why = startVideo()) return noWindow(*why);
    SDL_Rect usable{0, 0, 1280, 1024};
    SDL_GetDisplayUsableBounds(0, &usable);
    layout_ =
        layoutWindow(screenPoints(), {usable.x, usable.y, usable.w, usable.h}, options_.placement);
    SDL_DisplayMode mode{};
    const int refresh = SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0
                            ? mode.refresh_rate
                            : kFallbackRefreshRate;
    framePeriod_ =
        std::chrono::duration_cast<ClockTime>(std::chrono::duration<double>(1.0 / refresh));
    // Scaling the screen down to the window wants smoothing; scaling up by whole steps does not.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY,
                layout_.scale < 1 || UIScreen::mainScreen()->scale() > 1 ? "1" : "0");
    const auto& f = layout_.frame;
    window_ = SDL_CreateWindow(options_.title.c_str(), f.x, f.y, f.width, f.height,
                               SDL_WINDOW_ALLOW_HIGHDPI);
    if (window_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_) ring_ = textureOf(renderer_, fingerRing(), true);
    if (!ring_) {
        std::fprintf(stderr, "%s: the window cannot be made (%s)\n", options_.program.c_str(),
                     SDL_GetError());
        return false;
    }
    SDL_StartTextInput();  // "?" arrives as text, whatever the keyboard's layout
    reservePictures();
    return true;
}

// A touch takes a snapshot of the screen (a bitmap drawn into and its copy) while the one before
// is still shown, beside the frame being drawn: their memory is had while the window opens rather
// than at the first touches.
void ScreenWindow::reservePictures() const {
    const CGSize points = screenPoints();
    const double scale = UIScreen::mainScreen()->scale();
    const auto width = size_t(std::ceil(points.width * scale)),
               height = size_t(std::ceil(points.height * scale));
    pictureMemoryReserve(4 * width * height, 3);
}

CGPoint ScreenWindow::pointAt(int x, int y) const {
    return CGPointMake(static_cast<float>(x / layout_.scale),
                       static_cast<float>(y / layout_.scale));
}

// Whether the event moves a finger: the input whose wait to be seen counts.
bool isTouch(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEMOTION:
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            return true;
        default:
            return false;
    }
}

// Input is taken the moment it comes, and the frame that shows it goes out at once, unless a
// frame went out less than half a refresh ago; without input a frame goes out at each refresh.
// Timers, animations and notifications run whenever the window wakes, and always before a frame.
void ScreenWindow::run() {
    auto& loop = RunLoop::main();
    ClockTime lastFrame = loop.now() - framePeriod_;
    countingSince_ = loop.now();
    bool inputShown = true;  // whether every input handled is on the screen
    const auto frameDue = [&] {
        return lastFrame + (inputShown ? framePeriod_ : framePeriod_ / 2);
    };
    for (;;) {
        SDL_Event event;
        while (nextEvent(event, frameDue())) {
            // What fell due before this input happens before it, as it does on a script's clock,
            // so that a saved script replays the same order of things.
            loop.runUntil(loop.now());
            if (!handle(event)) return;
            inputShown = inputShown && !isTouch(event);
        }
        loop.runUntil(loop.now());
        lastFrame = loop.now();
        inputShown = true;
        present();
        if (options_.mustEnd && options_.mustEnd()) return;
        if (latency_.failed()) return;
    }
}

// Waits for the next event until `due`; false once it is due. Events already queued are taken
// first even then, so that a frame shows every move made before it.
bool ScreenWindow::nextEvent(SDL_Event& event, ClockTime due) const {
    if (SDL_PollEvent(&event)) return true;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - RunLoop::main().now());
    return wait.count() > 0 && SDL_WaitEventTimeout(&event, int(wait.count()));
}

bool ScreenWindow::handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            return false;
        case SDL_KEYDOWN:
            return handleKey(event.key);
        case SDL_TEXTINPUT:
            if (std::string_view(event.text.text) == "?") {
                showHelp_ = !showHelp_;
                overlayStale_ = true;
            }
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEMOTION:
            handleMouse(event);
            return true;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            handleFinger(event.tfinger);
            return true;
        default:
            return true;
    }
}

bool ScreenWindow::handleKey(const SDL_KeyboardEvent& key) {
    switch (key.keysym.sym) {
        case SDLK_q:
            return false;
        case SDLK_f:
            showFrameRate_ = !showFrameRate_;
            overlayStale_ = true;
            return true;
        case SDLK_F1:
            showHelp_ = !showHelp_;
            overlayStale_ = true;
            return true;
        default:
            device_.key(key.keysym.sym);
            return true;
    }
}

void ScreenWindow::handleMouse(const SDL_Event& event) {
    // A touch screen's fingers arrive as finger events; the mouse events made from them are not
    // a second finger.
    if (event.button.which == SDL_TOUCH_MOUSEID) return;
    const SDL_Keymod mods = SDL_GetModState();
    const bool alt = mods & KMOD_ALT, shift = mods & KMOD_SHIFT;
    // The right button drags two fingers as Alt with the left one does: many desktops keep
    // Alt-drags for moving windows.
    if (event.type == SDL_MOUSEMOTION) {
        mouse_ = pointAt(event.motion.x, event.motion.y);
        send(fingers_.mouseMoved(mouse_, alt || fingerButton_ == SDL_BUTTON_RIGHT, shift),
             event.common.timestamp);
    } else if (event.button.button == SDL_BUTTON_LEFT || event.button.button == SDL_BUTTON_RIGHT) {
        mouse_ = pointAt(event.button.x, event.button.y);
        if (event.type == SDL_MOUSEBUTTONDOWN && fingerButton_ == 0) {
            fingerButton_ = event.button.button;
            send(fingers_.mouseDown(mouse_, alt || fingerButton_ == SDL_BUTTON_RIGHT),
                 event.common.timestamp);
        } else if (event.type == SDL_MOUSEBUTTONUP && event.button.button == fingerButton_) {
            fingerButton_ = 0;
            send(fingers_.mouseUp(), event.common.timestamp);
        }
    }
}

void ScreenWindow::handleFinger(const SDL_TouchFingerEvent& finger) {
    const CGSize screen = screenPoints();
    const CGPoint point = CGPointMake(finger.x * screen.width, finger.y * screen.height);
    if (finger.type == SDL_FINGERDOWN)
        send(fingers_.fingerDown(finger.fingerId, point), finger.timestamp);
    if (finger.type == SDL_FINGERMOTION)
        send(fingers_.fingerMoved(finger.fingerId, point), finger.timestamp);
    if (finger.type == SDL_FINGERUP) send(fingers_.fingerUp(finger.fingerId), finger.timestamp);
}

void ScreenWindow::send(const std::optional<FingerEvent>& event, uint32_t stamp) {
    if (!event) return;
    latency_.input(stamp);
    device_.touch(event->phase, event->points);
}

void ScreenWindow::present() {
    using Milliseconds = std::chrono::duration<double, std::milli>;
    const auto drawing = std::chrono::steady_clock::now();
    const CGImageRef image = device_.renderScreen();
    if (!image) return;
    const auto presenting = std::chrono::steady_clock::now();
    uploadScreen(image);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, screen_, nullptr, nullptr);
    drawSecondFinger();
    countFrame();
    refreshOverlay();
    if (overlay_) SDL_RenderCopy(renderer_, overlay_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    latency_.presented(SDL_GetTicks(), Milliseconds(presenting - drawing).count(),
                       Milliseconds(std::chrono::steady_clock::now() - presenting).count());
}

// The screen into its texture, shrunk first when it is at least twice the window's size.
void ScreenWindow::uploadScreen(const CGImageRef& image) {
    cairo_surface_t* surface = image->surface();
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface),
        height = cairo_image_surface_get_height(surface);
    const uint8_t* pixels = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    int outWidth = 0, outHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outWidth, &outHeight);
    if (const int f = screenDownscaleFactor(width, height, outWidth, outHeight); f > 1) {
        screenDownscale(pixels, stride, width, height, f, shrunk_);
        width /= f, height /= f, stride = 4 * width;
        pixels = reinterpret_cast<const uint8_t*>(shrunk_.data());
    }
    if (!screen_ || textureWidth_ != width || textureHeight_ != height) {
        if (screen_) SDL_DestroyTexture(screen_);
        screen_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                    SDL_TEXTUREACCESS_STREAMING, width, height);
        textureWidth_ = width, textureHeight_ = height;
    }
    SDL_UpdateTexture(screen_, nullptr, pixels, stride);
}

// The second finger while the mouse holds two, or where it would go while Alt is held.
void ScreenWindow::drawSecondFinger() {
    std::optional<CGPoint> second = fingers_.secondFinger();
    if (!second && (SDL_GetModState() & KMOD_ALT)) second = fingers_.mirrored(mouse_);
    if (!second) return;
    int outputWidth = 0, outputHeight = 0, windowWidth = 0, windowHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
    const double pixels = layout_.scale * outputWidth / std::max(windowWidth, 1);
    const SDL_Rect ring{static_cast<int>(second->x * pixels) - kFingerRing / 2,
                        static_cast<int>(second->y * pixels) - kFingerRing / 2, kFingerRing,
                        kFingerRing};
    SDL_RenderCopy(renderer_, ring_, nullptr, &ring);
}

void ScreenWindow::countFrame() {
    ++framesCounted_;
    const ClockTime now = RunLoop::main().now();
    if (now - countingSince_ < kFrameRateWindow) return;
    const double seconds = std::chrono::duration<double>(now - countingSince_).count();
    frameRate_ = std::to_string(static_cast<int>(std::lround(framesCounted_ / seconds))) + " fps";
    // The touches' wait shows while there are touches, and a little after.
    const auto waited = latency_.takeMedian();
    touchWait_ = waited ? "touch " + std::to_string(*waited) + " ms" : "";
    framesCounted_ = 0;
    countingSince_ = now;
    if (showFrameRate_) overlayStale_ = true;
}

void ScreenWindow::refreshOverlay() {
    if (!overlayStale_) return;
    overlayStale_ = false;
    if (overlay_) SDL_DestroyTexture(overlay_);
    overlay_ = nullptr;
    WindowOverlayContent content;
    if (showHelp_) {
        content.help = options_.deviceKeys;
        content.help.insert(content.help.end(), kWindowKeys.begin(), kWindowKeys.end());
    }
    if (showFrameRate_) {
        content.frameRate = frameRate_.empty() ? "… fps" : frameRate_;
        content.touchWait = touchWait_;
    }
    int width = 0, height = 0, windowWidth = 0, windowHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
    // Text as large as at one window pixel a point, or larger on a window scaled up.
    const double textScale = std::max(layout_.scale, 1.0) * width / std::max(windowWidth, 1);
    overlay_ = textureOf(renderer_, drawWindowOverlay(width, height, textScale, content), true);
}

}  // namespace

std::optional<std::string> whyNoWindowCanOpen() {
    auto why = startVideo();
    if (!why) SDL_Quit();
    return why;
}

int checkDisplay(const std::string& program) {
    const auto why = whyNoWindowCanOpen();
    if (!why) return 0;
    std::fprintf(stderr, "%s: no window can be opened (%s)\n", program.c_str(), why->c_str());
    return 2;
}

int runScreenWindow(ScreenWindowDevice& device, const ScreenWindowOptions& options) {
    ScreenWindow window(device, options);
    if (!window.open()) return 2;
    window.run();
    return 0;
}
