#include "sim/device/ScreenWindow.h"

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIScreen.h"

#include <SDL.h>

#include <cstdio>

namespace {

constexpr auto kFrame = std::chrono::milliseconds(16);

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

// A point of the window, which is a point of the screen: the texture is scaled to the window.
std::vector<CGPoint> at(int x, int y) { return {CGPointMake(float(x), float(y))}; }

}  // namespace

int runScreenWindow(ScreenWindowDevice& device, const std::string& title, const char* program) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "%s: no window can be opened (%s); run a script with --script FILE\n",
                     program, SDL_GetError());
        return 2;
    }
    Window w;
    const CGRect bounds = UIScreen::mainScreen()->bounds();
    const CGFloat scale = UIScreen::mainScreen()->scale();
    const int width = static_cast<int>(bounds.size.width * scale);
    const int height = static_cast<int>(bounds.size.height * scale);
    w.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                static_cast<int>(bounds.size.width),
                                static_cast<int>(bounds.size.height), SDL_WINDOW_ALLOW_HIGHDPI);
    if (w.window) w.renderer = SDL_CreateRenderer(w.window, -1, 0);
    if (w.renderer) {
        w.texture = SDL_CreateTexture(w.renderer, SDL_PIXELFORMAT_ARGB8888,
                                      SDL_TEXTUREACCESS_STREAMING, width, height);
    }
    if (!w.texture) {
        std::fprintf(stderr, "%s: the window cannot be made (%s)\n", program, SDL_GetError());
        return 2;
    }
    bool fingerDown = false;
    auto& loop = RunLoop::main();
    for (bool running = true; running;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) running = false;
            if (event.type == SDL_KEYDOWN) {
                if (event.key.keysym.sym == SDLK_q) running = false;
                device.key(event.key.keysym.sym);
            } else if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) {
                fingerDown = true;
                device.touch(UITouchPhaseBegan, at(event.button.x, event.button.y));
            } else if (event.type == SDL_MOUSEMOTION && fingerDown) {
                device.touch(UITouchPhaseMoved, at(event.motion.x, event.motion.y));
            } else if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT) {
                fingerDown = false;
                device.touch(UITouchPhaseEnded, {});
            }
        }
        loop.runUntil(loop.now() + kFrame);
        present(w, device.renderScreen());
    }
    return 0;
}
