// Where the first level puts its pictures: the sky, the moon, the twelve parallax strips and the walking
// creature, with the strips' speeds and the creature's animation. Plain tables with no dependencies, so
// that the game, the media makers (tools/media/) and the tests read the layout from this one place.
//
// Positions are pixels of the 640 x 480 window, origin top-left; speeds are pixels per layer update.
#pragma once

#include <cstdint>
#include <string_view>

namespace vanta::game {

// A picture drawn at one place on every level frame.
struct LevelPicture
{
    std::string_view file; // the registered name of its embedded file
    std::int32_t x;
    std::int32_t y;
};

// One parallax strip: drawn at x 0 (and copies 640 to each side), moving by `speed` per update.
struct LevelLayer
{
    std::string_view file;
    std::int32_t y;
    std::int32_t speed;
};

// The creature: a strip of cells of one size, drawn at one place, each cell shown for a number of frames.
struct LevelCreature
{
    std::string_view file;
    std::int32_t cellWidth;
    std::int32_t cellHeight;
    std::int32_t cellCount;
    std::int32_t x;
    std::int32_t y;
    std::int32_t framesPerCell;
};

// The sky, drawn first.
inline constexpr LevelPicture LEVEL_SKY{"DATAS/fond.jpg", 0, 60};

// The moon, drawn over the sky.
inline constexpr LevelPicture LEVEL_MOON{"DATAS/lune.png", 534, 60};

inline constexpr int LEVEL_LAYER_COUNT = 12;
// The strips in loading and drawing order: five of grass (far to near), five of clouds, the fence and the
// mountains.
inline constexpr LevelLayer LEVEL_LAYERS[LEVEL_LAYER_COUNT] = {
    {"DATAS/herbe0.png", 360, -2},  {"DATAS/herbe1.png", 364, -3},   {"DATAS/herbe2.png", 370, -4},
    {"DATAS/herbe3.png", 384, -5},  {"DATAS/herbe4.png", 398, -6},   {"DATAS/nuages0.png", 60, -6},
    {"DATAS/nuages1.png", 102, -5}, {"DATAS/nuages2.png", 182, -4},  {"DATAS/nuages3.png", 220, -3},
    {"DATAS/nuages4.png", 238, -2}, {"DATAS/barriere.png", 378, -7}, {"DATAS/montagnes.png", 214, -1},
};
// The grass strips are the first five layers, the clouds the next five.
inline constexpr int LEVEL_FIRST_GRASS = 0;
inline constexpr int LEVEL_FIRST_CLOUDS = 5;

// The walking creature, drawn last.
inline constexpr LevelCreature LEVEL_CREATURE{"DATAS/marcheur.png", 80, 104, 6, 270, 266, 6};

} // namespace vanta::game
