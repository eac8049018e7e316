#include "platform/quartz/CAValue.h"

#include <numbers>

namespace {

float lerp(float a, float b, double t) {
    return static_cast<float>(a + (double(b) - a) * t);
}

CGPoint lerp(CGPoint a, CGPoint b, double t) {
    return {lerp(a.x, b.x, t), lerp(a.y, b.y, t)};
}

CGSize lerp(CGSize a, CGSize b, double t) {
    return {lerp(a.width, b.width, t), lerp(a.height, b.height, t)};
}

// A transform as translation, rotation, scale and shear: M = R(angle) * [sx k; 0 sy].
struct Decomposed {
    double tx, ty, angle, sx, sy, k;
};

Decomposed decompose(const CGAffineTransform& t) {
    const double sx = std::hypot(double(t.a), double(t.b));
    const double angle = std::atan2(double(t.b), double(t.a));
    const double c = std::cos(angle), s = std::sin(angle);
    return {t.tx, t.ty, angle, sx, t.d * c - t.c * s, t.c * c + t.d * s};
}

CGAffineTransform compose(const Decomposed& p) {
    const double c = std::cos(p.angle), s = std::sin(p.angle);
    return {static_cast<float>(c * p.sx),
            static_cast<float>(s * p.sx),
            static_cast<float>(c * p.k - s * p.sy),
            static_cast<float>(s * p.k + c * p.sy),
            static_cast<float>(p.tx),
            static_cast<float>(p.ty)};
}

CGAffineTransform lerp(const CGAffineTransform& a, const CGAffineTransform& b, double t) {
    if (t == 0) return a;
    if (t == 1) return b;
    const Decomposed x = decompose(a), y = decompose(b);
    // Turn the short way round, as a view turning from 170 to -170 degrees would be expected to.
    double turn = y.angle - x.angle;
    if (turn > std::numbers::pi) turn -= 2 * std::numbers::pi;
    if (turn < -std::numbers::pi) turn += 2 * std::numbers::pi;
    auto mix = [t](double u, double v) { return u + (v - u) * t; };
    return compose({mix(x.tx, y.tx), mix(x.ty, y.ty), x.angle + turn * t, mix(x.sx, y.sx),
                    mix(x.sy, y.sy), mix(x.k, y.k)});
}

}  // namespace

double CAValueDoubleValue(const CAValue& value) {
    if (const auto* number = std::get_if<double>(&value)) return *number;
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? 1 : 0;
    return 0;
}

std::string CAValueStringValue(const CAValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return {};
}

CAValue CAValueInterpolate(const CAValue& from, const CAValue& to, double progress) {
    if (from.index() != to.index()) return progress >= 1 ? to : from;
    if (const auto* a = std::get_if<double>(&from)) {
        const double b = std::get<double>(to);
        return *a + (b - *a) * progress;
    }
    if (const auto* a = std::get_if<CGPoint>(&from))
        return lerp(*a, std::get<CGPoint>(to), progress);
    if (const auto* a = std::get_if<CGSize>(&from)) return lerp(*a, std::get<CGSize>(to), progress);
    if (const auto* a = std::get_if<CGRect>(&from)) {
        const CGRect& b = std::get<CGRect>(to);
        return CGRect{lerp(a->origin, b.origin, progress), lerp(a->size, b.size, progress)};
    }
    if (const auto* a = std::get_if<CGAffineTransform>(&from)) {
        return lerp(*a, std::get<CGAffineTransform>(to), progress);
    }
    return progress >= 1 ? to : from;
}

CAValue CAValueAdd(const CAValue& value, const CAValue& by) {
    if (value.index() != by.index()) return value;
    if (const auto* a = std::get_if<double>(&value)) return *a + std::get<double>(by);
    if (const auto* a = std::get_if<CGPoint>(&value)) {
        const CGPoint& b = std::get<CGPoint>(by);
        return CGPoint{a->x + b.x, a->y + b.y};
    }
    if (const auto* a = std::get_if<CGSize>(&value)) {
        const CGSize& b = std::get<CGSize>(by);
        return CGSize{a->width + b.width, a->height + b.height};
    }
    if (const auto* a = std::get_if<CGRect>(&value)) {
        const CGRect& b = std::get<CGRect>(by);
        return CGRect{{a->origin.x + b.origin.x, a->origin.y + b.origin.y},
                      {a->size.width + b.size.width, a->size.height + b.size.height}};
    }
    if (const auto* a = std::get_if<CGAffineTransform>(&value)) {
        return CGAffineTransformConcat(std::get<CGAffineTransform>(by), *a);
    }
    return value;
}
