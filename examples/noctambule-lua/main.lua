-- Noctambule, the demo game, written in Lua for vanta-play: the logo, the title with its scroller and
-- music, the loading screen, and the first level's twelve parallax strips with the walking creature and
-- the frames-per-second read-out. The pictures and music are the game's own embedded media.
--
-- Run it with:  build/bin/vanta-play examples/noctambule-lua
--
-- It is the C++ game (game/) frame for frame: each of the C++ game's blocking loops is one scene here,
-- and every call the C++ game makes between two flips is made in one call of `frame`. The state lives in
-- the global table `game`, so the console can look at it ("$lua game.scene").

game = {
  scene = "logo",      -- "logo", "title", "loading", "level"
  logoFrame = 1,       -- logo frames shown so far, plus one
  scrollerX = 800,     -- left edge of the scrolling text
  levelFrames = 0,     -- level frames drawn
  layers = {},
  creatureTick = 0,
  creatureFrame = 0,
  fpsWindowStart = 0,
  fpsFrames = 0,
  fpsShown = 0,
}

local media = {}

-- Five sections apart by runs of 15 or 16 spaces; capitals only, the web address aside (the default
-- font has no accented letters).
local SCROLLER_TEXT =
  "**** VANTAMAX PRESENTE : NOCTAMBULE, UNE BALADE AU CLAIR DE LUNE ****" ..
  "                " ..
  "CETTE VERSION A ETE ENTIEREMENT REECRITE EN C++ : SES IMAGES, SES MUSIQUES ET SA POLICE SONT " ..
  "CALCULEES PAR NOTRE PROPRE CODE" ..
  "               " ..
  "MERCI A TOUTE L'EQUIPE : AUX PROGRAMMEURS DU MOTEUR, DU SON ET DE L'AFFICHAGE, AUX DESSINATEURS " ..
  "DE PIXELS, AU COMPOSITEUR DES DEUX MUSIQUES, AUX TESTEURS DE NUIT ... ET A VOUS QUI JOUEZ" ..
  "               " ..
  "VISITEZ NOTRE SITE www.vantamax.example POUR LES NOUVELLES ET LA DERNIERE VERSION" ..
  "               " ..
  "**** APPUYER SUR ECHAP POUR LANCER LE JEU ****"

-- The strips in the order they are loaded; fond.jpg, the sky, comes after them.
local STRIP_FILES = {
  "DATAS/herbe0.png", "DATAS/herbe1.png", "DATAS/herbe2.png", "DATAS/herbe3.png",
  "DATAS/herbe4.png", "DATAS/nuages0.png", "DATAS/nuages1.png", "DATAS/nuages2.png",
  "DATAS/nuages3.png", "DATAS/nuages4.png", "DATAS/barriere.png", "DATAS/montagnes.png",
}

-- The layers back to front: strip (index into STRIP_FILES), top edge, pixels moved per update.
local LAYERS = {
  {1, 360, -2}, {2, 364, -3}, {3, 370, -4}, {4, 384, -5}, {5, 398, -6}, {6, 60, -6},
  {7, 102, -5}, {8, 182, -4}, {9, 220, -3}, {10, 238, -2}, {11, 378, -7}, {12, 214, -1},
}

HidePointer()

-- Fixed limits, not the text's drawn width: -4500 is still drawn, the step after it is 800.
local function stepScroller()
  game.scrollerX = game.scrollerX - 2
  if game.scrollerX < -4500 then game.scrollerX = 800 end
end

local function newLayer(image, x, y, speed)
  local layer = {image = image, x = x, y = y, speed = speed}
  table.insert(game.layers, layer)
  return layer
end

-- Back to 0, not by a whole strip width: a speed that does not divide 640 makes a shorter step there.
local function updateLayer(layer)
  layer.x = layer.x + layer.speed
  if layer.x < -639 then layer.x = 0 end
  if layer.x > 639 then layer.x = 0 end
end

local function drawLayer(layer)
  DrawImage(layer.image, layer.x, layer.y)
  DrawImage(layer.image, layer.x + 640, layer.y)
  DrawImage(layer.image, layer.x - 640, layer.y)
end

-- The C++ game's frame gate opens on every frame (its threshold stays 0), so the layers move every frame.
local function updateLayers()
  for _, layer in ipairs(game.layers) do updateLayer(layer) end
end

-- Frames counted over windows of a second, measured forward on the wrapping millisecond clock. The
-- frame that closes a window is counted in neither.
local function countFps()
  if ClockDistance(game.fpsWindowStart, ReadClock()) < 1000 then
    game.fpsFrames = game.fpsFrames + 1
  else
    game.fpsShown = game.fpsFrames
    game.fpsFrames = 0
    game.fpsWindowStart = ReadClock()
  end
  return game.fpsShown
end

local function advanceCreature()
  game.creatureTick = game.creatureTick + 1
  if game.creatureTick == 6 then
    game.creatureTick = 0
    game.creatureFrame = game.creatureFrame + 1
  end
  if game.creatureFrame == 6 then game.creatureFrame = 0 end
end

local function showLogo()
  if not media.logo then media.logo = LoadImage("incbin::intro/logo-zelkor.jpg") end
  DrawImage(media.logo, 0, 0)
  game.logoFrame = game.logoFrame + 1
  if game.logoFrame > 100 then game.scene = "title" end
end

local function startTitle()
  media.introMusic = LoadSound("incbin::intro/intromusic.ogg", SOUND_LOOP)
  media.introChannel = PlaySound(media.introMusic)
  media.title = LoadImage("incbin::intro/introtitre.jpg")
end

-- Drawn over what the title's last clear left in the back buffer; the level loads in the next frame.
local function showLoading()
  media.loading = LoadImage("incbin::intro/globeintro.png")
  DrawImage(media.loading, 0, 40)
  DrawText("LEVEL 1", 290, 20)
  DrawText("Chargement en cours ...", 240, 456)
  game.scene = "loading"
end

local function showTitle()
  if not media.title then startTitle() end
  if KeyHits(VK_ESCAPE) > 0 then
    showLoading()
    return
  end
  DrawImage(media.title, 0, 0)
  DrawText(SCROLLER_TEXT, game.scrollerX, 446)
  stepScroller()
end

local function loadLevel()
  media.strips = {}
  for i, name in ipairs(STRIP_FILES) do media.strips[i] = LoadImage("incbin::" .. name) end
  media.sky = LoadImage("incbin::DATAS/fond.jpg")
  media.moon = LoadImage("incbin::DATAS/lune.png", IMAGE_MASKED)
  media.levelMusic = LoadSound("incbin::DATAS/music-level1.ogg", SOUND_LOOP)
  media.creature = LoadImageStrip("incbin::DATAS/marcheur.png", 80, 104, 0, 6)
  for _, place in ipairs(LAYERS) do newLayer(media.strips[place[1]], 0, place[2], place[3]) end
  StopChannel(media.introChannel)
  media.levelChannel = PlaySound(media.levelMusic)
  game.scene = "level"
end

local function drawLevelFrame()
  DrawImage(media.sky, 0, 60)
  DrawImage(media.moon, 534, 60)
  updateLayers()
  for _, layer in ipairs(game.layers) do drawLayer(layer) end
  DrawText("V 0.1C", 10, 30)
  DrawText("FPS = " .. countFps(), 560, 30)
  DrawText("TOUCHE ESCAPE POUR QUITTER", 10, 450)
  DrawImage(media.creature, 270, 266, game.creatureFrame)
  advanceCreature()
  game.levelFrames = game.levelFrames + 1
end

function frame(n)
  if game.scene == "logo" then
    showLogo()
  elseif game.scene == "title" then
    showTitle()
  else
    if game.scene == "loading" then loadLevel() end
    if KeyHits(VK_ESCAPE) > 0 then return false end
    drawLevelFrame()
  end
end
