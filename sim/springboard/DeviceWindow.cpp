#include "sim/springboard/DeviceWindow.h"

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIScreen.h"
#include "sim/springboard/SimulatedSpringBoard.h"

#include <SDL.h>

#include <cstdio>
#include <string>

namespace {

constexpr auto kFrame = std::chrono::milliseconds(16);

constexpr const char* kTitle =
    "Corvane — drag with the mouse · L lock · W wake · D dim · P passcode · Esc cancel · "
    "A alert · C camera · M media · Q quit";

// The command a key stands for, or "".
std::string commandForKey(SDL_Keycode key, bool& cameraOn, bool& mediaOn) {
    switch (key) {
    case SDLK_l: return "lock";
    case SDLK_w: return "wake";
    case SDLK_d: return "dim";
    case SDLK_p: return "passcode enter";
    case SDLK_ESCAPE: return "passcode cancel";
    case SDLK_a: return "alert";
    case SDLK_c: cameraOn = !cameraOn; return cameraOn ? "camera on" : "camera off";
    case SDLK_m: mediaOn = !mediaOn; return mediaOn ? "media on" : "media off";
    default: return "";
    }
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
    // Window coordinates are screen points: the texture is scaled to the window.
    const auto point = [](int x, int y) { return std::vector<double>{double(x), double(y)}; };
    bool cameraOn = false, mediaOn = false, fingerDown = false;
    auto& loop = RunLoop::main();
    for (bool running = true; running;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) running = false;
            if (event.type == SDL_KEYDOWN) {
                if (event.key.keysym.sym == SDLK_q) running = false;
                const auto command = commandForKey(event.key.keysym.sym, cameraOn, mediaOn);
                if (!command.empty()) springBoard.perform(command, {});
            } else if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) {
                fingerDown = true;
                springBoard.perform("down", point(event.button.x, event.button.y));
            } else if (event.type == SDL_MOUSEMOTION && fingerDown) {
                springBoard.perform("move", point(event.motion.x, event.motion.y));
            } else if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT) {
                fingerDown = false;
                springBoard.perform("up", {});
            }
        }
        loop.runUntil(loop.now() + kFrame);
        present(w, springBoard.renderScreen());
    }
    return 0;
}
