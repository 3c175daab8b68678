// The walking creature: a round, purple night-walker with big yellow eyes, pointed ears, a curling tail
// and a lantern in its near hand, walking to the right (the scene scrolls left behind it).
//
// The walk is computed, not drawn frame by frame: each foot is planted for half the cycle and slides back
// under the hip, then swings forward in an arc; knees follow by two-bone inverse kinematics, the body bobs
// twice per cycle (lowest when the legs are spread), arms swing against the legs, the tail and lantern
// sway. Six phases of it make the animation strip.
#include "tools/media/Pictures.h"

#include <algorithm>
#include <cmath>

namespace vanta::media {
namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int CELL_WIDTH = 80, CELL_HEIGHT = 104, CELLS = 6;

struct Point
{
    double x, y;
};

void SetColour(cairo_t* cr, const Colour& c, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

// The knee of a leg from hip to ankle with both bones `bone` long, bent towards +x.
Point Knee(Point hip, Point ankle, double bone)
{
    const double dx = ankle.x - hip.x, dy = ankle.y - hip.y;
    const double d = std::clamp(std::hypot(dx, dy), 1.0, 2 * bone - 0.01);
    const double bend = std::acos(d / (2 * bone));
    const double towards = std::atan2(dy, dx);
    // Of the two solutions, the one whose knee lies in front of the line hip-ankle.
    const double a1 = towards - bend, a2 = towards + bend;
    const Point k1{hip.x + bone * std::cos(a1), hip.y + bone * std::sin(a1)};
    const Point k2{hip.x + bone * std::cos(a2), hip.y + bone * std::sin(a2)};
    return k1.x > k2.x ? k1 : k2;
}

// Where a foot is at `phase` (0 .. 1) of its own step: planted and sliding back for the first half,
// swinging forward through the air for the second.
Point Foot(double hipX, double ground, double phase)
{
    constexpr double stride = 11, lift = 8;
    if (phase < 0.5) return {hipX + stride * (1 - 4 * phase), ground};
    const double s = (phase - 0.5) / 0.5;
    const double eased = s * s * (3 - 2 * s);
    return {hipX - stride + 2 * stride * eased, ground - lift * std::sin(PI * s)};
}

void Leg(cairo_t* cr, Point hip, double ground, double phase, const Colour& fur, const Colour& pad)
{
    constexpr double bone = 14;
    const Point ankle = Foot(hip.x, ground - 3, phase);
    const Point knee = Knee(hip, ankle, bone);
    SetColour(cr, fur);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 7.5);
    cairo_move_to(cr, hip.x, hip.y);
    cairo_line_to(cr, knee.x, knee.y);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 6);
    cairo_move_to(cr, knee.x, knee.y);
    cairo_line_to(cr, ankle.x, ankle.y);
    cairo_stroke(cr);
    // The foot points forward; the toes lift a little while it swings.
    const double tilt = phase < 0.5 ? 0 : -0.35 * std::sin(PI * (phase - 0.5) / 0.5);
    cairo_save(cr);
    cairo_translate(cr, ankle.x + 2.5, ankle.y + 0.5);
    cairo_rotate(cr, tilt);
    cairo_scale(cr, 6.5, 3.2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * PI);
    cairo_restore(cr);
    SetColour(cr, pad);
    cairo_fill(cr);
}

void Arm(cairo_t* cr, Point shoulder, double swing, const Colour& fur, double width)
{
    const Point elbow{shoulder.x + 7 * std::sin(swing), shoulder.y + 7 * std::cos(swing)};
    const Point hand{elbow.x + 7 * std::sin(swing + 0.5), elbow.y + 7 * std::cos(swing + 0.5)};
    SetColour(cr, fur);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, shoulder.x, shoulder.y);
    cairo_line_to(cr, elbow.x, elbow.y);
    cairo_line_to(cr, hand.x, hand.y);
    cairo_stroke(cr);
}

void Ellipse(cairo_t* cr, double x, double y, double rx, double ry)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * PI);
    cairo_restore(cr);
}

} // namespace

void DrawWalker(cairo_t* cr, double phase, double centre, double ground, double scale)
{
    const Colour fur{0.38, 0.29, 0.58}, furLight{0.62, 0.54, 0.84}, furDark{0.21, 0.16, 0.36};
    const Colour farFur{0.26, 0.20, 0.42}, belly{0.72, 0.64, 0.86}, pad{0.30, 0.22, 0.45};
    const Colour rim{0.70, 0.84, 1.0}, ember{1.0, 0.78, 0.30};

    cairo_save(cr);
    cairo_translate(cr, centre - 40 * scale, ground - 100 * scale);
    cairo_scale(cr, scale, scale);
    const double beat = std::cos(4 * PI * phase); // 1 when the legs are spread
    const double bob = 1.6 * beat;
    const double sway = std::sin(2 * PI * phase);
    const double bodyY = 50 + bob;

    // Far side first: far leg, far arm, then the tail behind the body.
    Leg(cr, {35, 70 + bob}, 100, std::fmod(phase + 0.5, 1.0), farFur, Colour{0.22, 0.16, 0.34});
    Arm(cr, {34, 55 + bob}, -0.55 * sway, farFur, 5);

    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetColour(cr, fur);
    cairo_set_line_width(cr, 6);
    cairo_move_to(cr, 24, 66 + bob);
    cairo_curve_to(cr, 12, 68 + bob, 6 + sway * 2, 56 + bob, 10 + sway * 3, 44 + bob);
    cairo_stroke(cr);
    SetColour(cr, furLight);
    Ellipse(cr, 10.5 + sway * 3, 42 + bob, 4.2, 5.2); // the tuft at the tail's tip
    cairo_fill(cr);

    // Ears, behind the head's outline.
    for (int side = 0; side < 2; ++side) {
        const double bx = side == 0 ? 30 : 47, tip = side == 0 ? 25 : 53;
        const double flick = side == 0 ? sway * 1.2 : -sway * 1.0;
        SetColour(cr, side == 0 ? furDark : fur);
        cairo_move_to(cr, bx - 7, bodyY - 20);
        cairo_line_to(cr, tip + flick, bodyY - 41);
        cairo_line_to(cr, bx + 7, bodyY - 23);
        cairo_close_path(cr);
        cairo_fill(cr);
        SetColour(cr, Colour{0.80, 0.55, 0.75});
        cairo_move_to(cr, bx - 3.5, bodyY - 22);
        cairo_line_to(cr, tip + flick * 0.8 + (side == 0 ? 1 : -1), bodyY - 35);
        cairo_line_to(cr, bx + 3.5, bodyY - 23.5);
        cairo_close_path(cr);
        cairo_fill(cr);
    }

    // The body, lit from the upper right where the moon is, squashing a little as it lands.
    const double rx = 20 + 0.4 * beat, ry = 25 - 0.6 * beat;
    cairo_pattern_t* shade = cairo_pattern_create_radial(48, bodyY - 12, 4, 40, bodyY, 32);
    cairo_pattern_add_color_stop_rgb(shade, 0, furLight.r, furLight.g, furLight.b);
    cairo_pattern_add_color_stop_rgb(shade, 0.55, fur.r, fur.g, fur.b);
    cairo_pattern_add_color_stop_rgb(shade, 1, furDark.r, furDark.g, furDark.b);
    cairo_set_source(cr, shade);
    Ellipse(cr, 40, bodyY, rx, ry);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    // Rim light: the body's outline minus itself moved away from the moon.
    cairo_save(cr);
    cairo_clip(cr);
    SetColour(cr, rim, 0.75);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr, 0, 0, CELL_WIDTH, CELL_HEIGHT);
    Ellipse(cr, 37.8, bodyY + 2.2, rx, ry);
    cairo_fill(cr);
    cairo_restore(cr);

    // Belly, face and eyes.
    SetColour(cr, belly, 0.9);
    Ellipse(cr, 45, bodyY + 9, 11, 14);
    cairo_fill(cr);
    for (int eye = 0; eye < 2; ++eye) {
        const double ex = eye == 0 ? 42.5 : 54.5, ey = bodyY - 11, r = eye == 0 ? 6.6 : 5.4;
        SetColour(cr, Colour{0.96, 0.94, 0.86});
        Ellipse(cr, ex, ey, r, r * 1.12);
        cairo_fill(cr);
        cairo_pattern_t* iris = cairo_pattern_create_radial(ex + 1.5, ey, 0.5, ex + 1.5, ey, r * 0.78);
        cairo_pattern_add_color_stop_rgb(iris, 0, 1.0, 0.95, 0.55);
        cairo_pattern_add_color_stop_rgb(iris, 1, 0.95, 0.62, 0.12);
        cairo_set_source(cr, iris);
        Ellipse(cr, ex + 1.5, ey + 0.3, r * 0.72, r * 0.8);
        cairo_fill(cr);
        cairo_pattern_destroy(iris);
        SetColour(cr, Colour{0.12, 0.06, 0.16});
        Ellipse(cr, ex + 2.2, ey + 0.5, r * 0.33, r * 0.5);
        cairo_fill(cr);
        SetColour(cr, Colour{1, 1, 1});
        cairo_arc(cr, ex + 3.3, ey - 2.2, r * 0.2, 0, 2 * PI);
        cairo_fill(cr);
    }
    SetColour(cr, Colour{0.88, 0.52, 0.68});
    Ellipse(cr, 59.5, bodyY - 3, 2.2, 1.6); // nose
    cairo_fill(cr);
    SetColour(cr, Colour{0.25, 0.14, 0.28});
    cairo_set_line_width(cr, 1.1);
    cairo_move_to(cr, 52, bodyY + 1);
    cairo_curve_to(cr, 54, bodyY + 3, 57, bodyY + 3, 58.5, bodyY + 0.5);
    cairo_stroke(cr);

    // Near leg and near arm, which carries the lantern.
    Leg(cr, {45, 71 + bob}, 100, phase, fur, pad);
    const double swing = 0.55 * sway;
    const Point shoulder{47, 55 + bob};
    Arm(cr, shoulder, swing, fur, 5.5);
    const Point hand{shoulder.x + 7 * std::sin(swing) + 7 * std::sin(swing + 0.5),
                     shoulder.y + 7 * std::cos(swing) + 7 * std::cos(swing + 0.5)};
    const double hang = -swing * 0.6; // the lantern lags behind the arm
    const Point lamp{hand.x + 7 * std::sin(hang), hand.y + 7 * std::cos(hang)};
    SetColour(cr, Colour{0.35, 0.30, 0.28});
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, hand.x, hand.y);
    cairo_line_to(cr, lamp.x, lamp.y - 3);
    cairo_stroke(cr);
    cairo_pattern_t* glow = cairo_pattern_create_radial(lamp.x, lamp.y + 1, 1, lamp.x, lamp.y + 1, 11);
    cairo_pattern_add_color_stop_rgba(glow, 0, ember.r, ember.g, ember.b, 0.55);
    cairo_pattern_add_color_stop_rgba(glow, 1, ember.r, ember.g, ember.b, 0);
    cairo_set_source(cr, glow);
    cairo_arc(cr, lamp.x, lamp.y + 1, 11, 0, 2 * PI);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    SetColour(cr, Colour{0.40, 0.32, 0.26});
    cairo_rectangle(cr, lamp.x - 3.5, lamp.y - 3.5, 7, 1.8);
    cairo_rectangle(cr, lamp.x - 3.5, lamp.y + 4.5, 7, 1.8);
    cairo_fill(cr);
    SetColour(cr, Colour{1.0, 0.86, 0.45});
    cairo_rectangle(cr, lamp.x - 2.6, lamp.y - 1.8, 5.2, 6.4);
    cairo_fill(cr);
    SetColour(cr, Colour{1.0, 1.0, 0.85});
    cairo_rectangle(cr, lamp.x - 0.8, lamp.y, 1.6, 2.8);
    cairo_fill(cr);
    cairo_restore(cr);
}

Raster DrawCreature()
{
    Canvas canvas(CELL_WIDTH * CELLS, CELL_HEIGHT);
    cairo_t* cr = canvas.Context();
    for (int i = 0; i < CELLS; ++i) {
        cairo_save(cr);
        cairo_rectangle(cr, i * CELL_WIDTH, 0, CELL_WIDTH, CELL_HEIGHT);
        cairo_clip(cr);
        DrawWalker(cr, i / static_cast<double>(CELLS), i * CELL_WIDTH + 40, 100, 1.0);
        cairo_restore(cr);
    }
    return canvas.Read();
}

} // namespace vanta::media
