// Every picture the generator draws, and the colours of the night scene they share.
//
// The level is one scene put together at run time: the sky at y 60, the moon at (534, 60), five grass
// strips from y 360 to 420, five cloud strips from y 60 to 250, the fence at y 378 and the mountains at
// y 214 (screen coordinates of the 640 x 480 window). Masked pictures are blended at their edges into the
// colour the game draws behind them, which `SkyColour` and `GroundColour` give.
//
// Builds on the rasters and canvas of tools/media/Raster.h and the lettering of tools/media/StrokeFont.h.
#pragma once

#include "tools/media/Raster.h"

namespace vanta::media {

// The sky's colour at screen row y (60 .. 360), without stars or glow.
Colour SkyColour(double screenY);
// The colour of the bare ground the grass grows from, at screen row y (360 .. 420).
Colour GroundColour(double screenY);

// "DATAS/fond.jpg": the starry sky, 640 x 360, fading to the horizon, bare ground below row 300. No black.
Raster DrawSky();
// "DATAS/lune.png": the moon, 106 x 106, masked.
Raster DrawMoon();
// "DATAS/herbe<index>.png" (index 0 .. 4, far to near): a grass strip of `height` rows, masked, tiling.
Raster DrawGrass(int index, int height);
// "DATAS/nuages<index>.png" (index 0 .. 4, near to far): a cloud strip of `height` rows, masked, tiling.
Raster DrawClouds(int index, int height);
// "DATAS/barriere.png": the fence, 640 x 42, masked, tiling.
Raster DrawFence();
// "DATAS/montagnes.png": the mountain range, 640 x 146, masked, tiling.
Raster DrawMountains();
// "intro/globeintro.png": the planet of the loading screen, 640 x 400, on transparent space.
Raster DrawGlobe();
// "intro/logo-zelkor.jpg": the studio logo, 640 x 480.
Raster DrawLogo();
// "intro/introtitre.jpg": the title picture, 640 x 480, with a quiet band from row 440 for the scroller.
Raster DrawTitle();
// "DATAS/marcheur.png": six 80 x 104 cells of the walking creature, RGBA with soft edges.
Raster DrawCreature();
// One cell of the walk (phase 0 .. 1) drawn into `cr` with the creature's feet on y = `ground`, its body
// centred on x = `centre`, `scale` times the cell's size.
void DrawWalker(cairo_t* cr, double phase, double centre, double ground, double scale);
// "bakground.png": the console's background, 256 x 128, RGB, no black.
Raster DrawConsoleBackground();

// Spreads `raster` by a box blur of `radius` pixels, three times (close to a Gaussian); alpha included.
void Blur(Raster& raster, int radius);

} // namespace vanta::media
