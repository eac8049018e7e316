#include "sim/springboard/DeviceWindow.h"

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIScreen.h"
#include "sim/springboard/SimulatedSpringBoard.h"

#include <SDL.h>

#include <cstdio>
#include <optional>

namespace {

constexpr auto kFrame = std::chrono::milliseconds(16);

constexpr const char* kTitle =
    "Corvane — drag with the mouse · L lock · W wake · D dim · P passcode · Esc cancel · "
    "A alert · C camera · M media · Q quit";

// The command a key stands for, if any.
std::optional<ScriptVerb> commandForKey(SDL_Keycode key, bool& cameraOn, bool& mediaOn) {
    using V = ScriptVerb;
    switch (key) {
    case SDLK_l: return V::Lock;
    case SDLK_w: return V::Wake;
    case SDLK_d: return V::Dim;
    case SDLK_p: return V::PasscodeEnter;
    case SDLK_ESCAPE: return V::PasscodeCancel;
    case SDLK_a: return V::Alert;
    case SDLK_c: cameraOn = !cameraOn; return cameraOn ? V::CameraOn : V::CameraOff;
    case SDLK_m: mediaOn = !mediaOn; return mediaOn ? V::MediaOn : V::MediaOff;
    default: return std::nullopt;
    }
}

// A finger command at window point (x, y); window coordinates are screen points.
ScriptCommand finger(ScriptVerb verb, int x, int y) {
    return ScriptCommand::make(verb, {double(x), double(y)});
}

struct Window {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    ~Window() {
        if (texture) SDL_DestroyTexture(texture);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        SDL_Quit();
    }
};

void present(Window& w, const CGImageRef& image) {
    if (!image) return;
    cairo_surface_t* surface = image->surface();
    cairo_surface_flush(surface);
    SDL_UpdateTexture(w.texture, nullptr, cairo_image_surface_get_data(surface),
                      cairo_image_surface_get_stride(surface));
    SDL_RenderClear(w.renderer);
    SDL_RenderCopy(w.renderer, w.texture, nullptr, nullptr);
    SDL_RenderPresent(w.renderer);
}

}  // namespace

int runDeviceWindow(SimulatedSpringBoard& springBoard) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "corvane-sim: no window can be opened (%s); run a script with "
                             "--script FILE\n", SDL_GetError());
        return 2;
    }
    Window w;
    const CGRect bounds = UIScreen::mainScreen()->bounds();
    const CGFloat scale = UIScreen::mainScreen()->scale();
    const int width = static_cast<int>(bounds.size.width * scale);
    const int height = static_cast<int>(bounds.size.height * scale);
    w.window = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                static_cast<int>(bounds.size.width),
                                static_cast<int>(bounds.size.height), SDL_WINDOW_ALLOW_HIGHDPI);
    if (w.window) w.renderer = SDL_CreateRenderer(w.window, -1, 0);
    if (w.renderer) {
        w.texture = SDL_CreateTexture(w.renderer, SDL_PIXELFORMAT_ARGB8888,
                                      SDL_TEXTUREACCESS_STREAMING, width, height);
    }
    if (!w.texture) {
        std::fprintf(stderr, "corvane-sim: the window cannot be made (%s)\n", SDL_GetError());
        return 2;
    }
    bool cameraOn = false, mediaOn = false, fingerDown = false;
    auto& loop = RunLoop::main();
    for (bool running = true; running;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) running = false;
            if (event.type == SDL_KEYDOWN) {
                if (event.key.keysym.sym == SDLK_q) running = false;
                const auto verb = commandForKey(event.key.keysym.sym, cameraOn, mediaOn);
                if (verb) springBoard.perform(ScriptCommand::make(*verb));
            } else if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) {
                fingerDown = true;
                springBoard.perform(finger(ScriptVerb::Down, event.button.x, event.button.y));
            } else if (event.type == SDL_MOUSEMOTION && fingerDown) {
                springBoard.perform(finger(ScriptVerb::Move, event.motion.x, event.motion.y));
            } else if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT) {
                fingerDown = false;
                springBoard.perform(ScriptCommand::make(ScriptVerb::Up));
            }
        }
        loop.runUntil(loop.now() + kFrame);
        present(w, springBoard.renderScreen());
    }
    return 0;
}
