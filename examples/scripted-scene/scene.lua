-- A night walk: the game's creature crosses a moonlit valley while the clouds, the mountains, the fence
-- and the grass drift past at their own speeds. Space pauses, Escape leaves.
--
-- Run it with:  build/bin/vanta-scripted-scene examples/scripted-scene/scene.lua

local function load(name, flags)
  local image = LoadImage("incbin::" .. name, flags)
  if image == 0 then error("cannot load " .. name) end
  return image
end

local sky = load("DATAS/fond.jpg")
local moon = load("DATAS/lune.png", IMAGE_MASKED)
local walker = LoadImageStrip("incbin::DATAS/marcheur.png", 80, 104, 0, 6)
if walker == 0 then error("cannot load DATAS/marcheur.png") end

-- The strips, back to front: image, top edge, pixels moved per frame (to the left).
local strips = {
  { load("DATAS/nuages1.png"), 36, 0.25 },
  { load("DATAS/nuages3.png"), 128, 0.4 },
  { load("DATAS/nuages2.png"), 160, 0.6 },
  { load("DATAS/montagnes.png"), 262, 0.5 },
  { load("DATAS/nuages4.png"), 232, 0.9 },
  { load("DATAS/barriere.png"), 376, 1.5 },
  { load("DATAS/herbe0.png"), 404, 1.6 },
  { load("DATAS/herbe1.png"), 408, 1.8 },
  { load("DATAS/herbe2.png"), 414, 2.0 },
  { load("DATAS/herbe3.png"), 426, 2.4 },
  { load("DATAS/herbe4.png"), 440, 2.8 },
}

local width, height = GraphicsWidth(), GraphicsHeight()
local time = 0          -- frames of animation shown (it stands still while paused)
local paused = false
local started = ReadClock()

-- Draws a 640-pixel strip twice so that it covers the screen wherever it has scrolled to.
local function drawStrip(image, y, offset)
  local x = -(offset % ImageWidth(image))
  DrawImage(image, x, y)
  DrawImage(image, x + ImageWidth(image), y)
end

local function centred(text, y)
  DrawText(text, math.floor((width - TextWidth(text)) / 2), y)
end

local function glow(x, y, radius, alpha)
  SetBlendMode(BLEND_LIGHT)
  SetAlpha(alpha)
  DrawOval(x - radius, y - radius, radius * 2, radius * 2)
end

function frame(n)
  if KeyHits(VK_SPACE) > 0 then paused = not paused end
  if not paused then time = time + 1 end
  local t = time

  -- Sky and ground.
  SetBlendMode(BLEND_SOLID)
  SetAlpha(1)
  SetColor(255, 255, 255)
  DrawImageRect(sky, 0, 0, width, 420)
  SetColor(12, 22, 18)
  DrawRect(0, 420, width, height - 420)

  -- The moon climbs slowly along a low arc, with a halo.
  local mx = 470 + 60 * math.cos(t / 900)
  local my = 70 - 30 * math.sin(t / 900)
  SetColor(120, 130, 200)
  for ring = 0, 5 do
    glow(mx + 53, my + 53, 96 - ring * 7, 0.045)
  end
  SetBlendMode(BLEND_ALPHA)
  SetAlpha(1)
  SetColor(255, 255, 255)
  DrawImage(moon, mx, my)

  -- A shooting star now and then.
  local streak = t % 420
  if streak < 24 then
    SetBlendMode(BLEND_LIGHT)
    SetAlpha(1 - streak / 24)
    SetColor(230, 230, 255)
    local sx, sy = 120 + streak * 9, 30 + streak * 3
    DrawLine(sx, sy, sx - 40, sy - 13)
  end

  -- The strips, each at its own speed.
  SetBlendMode(BLEND_ALPHA)
  SetAlpha(1)
  SetColor(255, 255, 255)
  for _, strip in ipairs(strips) do
    drawStrip(strip[1], strip[2], t * strip[3])
  end

  -- The creature walks left to right, a little faster than the valley scrolls, and comes round again.
  local wx = (t * 1.2) % (width + 160) - 80
  local bob = math.abs(math.sin(t * math.pi / 18)) * 3
  DrawImage(walker, wx, 314 - bob, math.floor(t / 6) % ImageFrames(walker))

  -- Fireflies over the grass.
  SetColor(210, 255, 120)
  for i = 1, 9 do
    local fx = (i * 71 + t * (0.3 + i % 3 * 0.2)) % width
    local fy = 392 + 26 * math.sin(t / 40 + i * 1.7)
    local pulse = 0.5 + 0.5 * math.sin(t / 11 + i * 2.3)
    glow(fx, fy, 6, 0.25 * pulse)
    glow(fx, fy, 2, 0.9 * pulse)
  end

  -- Words.
  SetBlendMode(BLEND_ALPHA)
  SetAlpha(1)
  SetColor(255, 214, 140)
  centred("NOCTAMBULE", 12)
  SetColor(200, 205, 235)
  centred("a night walk, drawn by a Lua script", 30)
  SetColor(150, 160, 150)
  DrawText(string.format("%.1f s", (ReadClock() - started) / 1000), 10, 458)
  local hint = paused and "PAUSED - SPACE TO WALK ON" or "SPACE: PAUSE   ESCAPE: QUIT"
  DrawText(hint, width - 10 - TextWidth(hint), 458)
end
